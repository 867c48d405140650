#include "list/EditorEntry.h"

#include "host/Messages.h"

namespace {
EditorCall g_lastCall;
}

void DoIPEasyEnquiryAdd(int EnquiryID, bool DoCopyRecord, bool IsEditable)
{
    g_lastCall = { EnquiryID, DoCopyRecord, IsEditable, g_lastCall.count + 1 };
    InfoMessage(QStringLiteral("The IQ editor is not available yet."));
}

EditorCall LastEditorCall()
{
    return g_lastCall;
}
