#include "store/EnquiryStatements.h"

QString EnquiryListSQL()
{
    // The grid also binds the hidden view columns and the note's key, so they are selected too.
    return QStringLiteral("SELECT cCode, idEnquiry, cDescription, cCompany, cFrequency, cType, "
                          "cDatabase, PFCode, PFDesc, idNotes\n"
                          "FROM _ipvEasyEnquiry left join _btblNotes on "
                          "((_btblNotes.cNOTETBLTableName = '_IPTBLEASYENQUIRY') or "
                          "(_btblNotes.cNOTETBLTableName = '_iptbleasyenquiry')) and "
                          "(_btblNotes.fNOTETBLTableID = idEnquiry)");
}

QString ParamRowsSQL(int enquiryId)
{
    return QStringLiteral("select * from _iptblEasyEnquiryParam where iEnquiryID = ")
        + QString::number(enquiryId);
}

QString ParamRowsOrderedSQL(int enquiryId)
{
    return ParamRowsSQL(enquiryId) + QStringLiteral(" order by idEnquiryParam");
}

QString ColumnLayoutSQL(int enquiryId)
{
    return QStringLiteral(
               "select cColumnName, bShow from _iptblEasyEnquiryColumn where iEnquiryID = ")
        + QString::number(enquiryId) + QStringLiteral(" order by iOrder, idEnquiryColumn");
}

QString ColumnRowsSQL(int enquiryId)
{
    return QStringLiteral("select * from _iptblEasyEnquiryColumn where iEnquiryID = ")
        + QString::number(enquiryId);
}
