#include "package/PackageStrings.h"

QString PackageString(int id)
{
    switch (id) {
    case sReservedIQCode:
        return QStringLiteral(
            "You cannot add the reserved IQ! The code can not begin with \"IQ\"!");
    case sSQLStatementEmpty:
        return QStringLiteral("SQL Statement can not be empty!");
    case sSQLStatementErrors:
        return QStringLiteral("There are errors in the SQL Statement. Statement can not be saved!");
    case sCheckParameterSetting:
        return QStringLiteral("Please check the parameter setting!");
    case sParameterNameCharacters:
        return QStringLiteral("\"[\", \"]\" and \"@\" are not allowed in parameter names!");
    case sSelectFileToImport:
        return QStringLiteral("Please select a File to import!");
    case sSelectFileToExport:
        return QStringLiteral("Please select or type a File name to export!");
    case sEasyShowEnquiry:
        return QStringLiteral("Easy Show Enquiry");
    default:
        return QString();
    }
}
