#include "run/EnquiryChangeMessage.h"

#include "host/core/ChangeMessage.h"

void PostEasyEnquiryChanged(int enquiryId)
{
    const int record = SetGlobalMessageInt(kMsgEasyEnquiryChanged, enquiryId, 0, nullptr);
    PostHostMessage(QuillonControl(), kMsgDeliverGlobalMessage, record, 0);
}
