#include "edit/ui/EditorEntry.h"

#include "host/core/Messages.h"

void DoIPEasyEnquiryAdd(int, bool, bool)
{
    InfoMessage(QStringLiteral("The IQ editor is not available yet."));
}
