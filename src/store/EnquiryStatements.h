#pragma once

#include <QString>

// Statements issued against the enquiry store, each in one place for the windows and the
// command-line tool alike. "id" arguments are appended in decimal.
QString EnquiryListSQL(); // the IQ list over _ipvEasyEnquiry joined to its notes
QString ParamRowsSQL(int enquiryId); // ... where iEnquiryID = id
QString ParamRowsOrderedSQL(int enquiryId); // ... order by idEnquiryParam
QString ColumnLayoutSQL(int enquiryId); // cColumnName, bShow in iOrder, idEnquiryColumn order
QString ColumnRowsSQL(int enquiryId); // select * ... where iEnquiryID = id
