#include "list/ExchangeEntry.h"

#include "host/Messages.h"

namespace {
ExchangeCalls g_calls;
}

bool DoEasyEnquiryExport(int EnquiryID)
{
    g_calls.lastExportId = EnquiryID;
    ++g_calls.exportCount;
    InfoMessage(QStringLiteral("The IQ export is not available yet."));
    return false;
}

bool DoEasyEnquiryImport(int &EnquiryID)
{
    ++g_calls.importCount;
    EnquiryID = 0;
    InfoMessage(QStringLiteral("The IQ import is not available yet."));
    return false;
}

ExchangeCalls LastExchangeCalls()
{
    return g_calls;
}
