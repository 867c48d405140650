#include "exchange/ui/ExchangeEntry.h"

#include "host/core/Messages.h"

bool DoEasyEnquiryExport(int)
{
    InfoMessage(QStringLiteral("The IQ export is not available yet."));
    return false;
}

bool DoEasyEnquiryImport(int &EnquiryID)
{
    EnquiryID = 0;
    InfoMessage(QStringLiteral("The IQ import is not available yet."));
    return false;
}
