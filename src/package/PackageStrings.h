#pragma once

#include <QString>

// The package's own string table (entries 65520 to 65528); unknown entries give the empty text.
enum PackageStringId {
    sReservedIQCode = 65520,
    sSQLStatementEmpty = 65521,
    sSQLStatementErrors = 65522,
    sCheckParameterSetting = 65523,
    sParameterNameCharacters = 65524,
    sSelectFileToImport = 65525,
    sSelectFileToExport = 65526,
    sEmptyCaption = 65527,
    sEasyShowEnquiry = 65528,
};

QString PackageString(int id);
