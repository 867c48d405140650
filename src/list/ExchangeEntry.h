#pragma once

// The export and import dialogs' entry points. The dialogs are not part of the program yet:
// these stand-ins say so, confirm nothing and remember how they were called.
bool DoEasyEnquiryExport(int EnquiryID);
// On success `EnquiryID` is the id of the last IQ imported (0 when none).
bool DoEasyEnquiryImport(int &EnquiryID);

struct ExchangeCalls
{
    int lastExportId = -1;
    int exportCount = 0;
    int importCount = 0;
};
ExchangeCalls LastExchangeCalls();
