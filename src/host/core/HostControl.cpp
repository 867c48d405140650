#include "host/core/HostControl.h"

#include "host/core/GlobalMessages.h"
#include "host/core/HostMessageEvent.h"
#include "host/core/HostMessageReceiver.h"
#include "host/core/HostMessages.h"

HostControl::HostControl(QObject *parent)
    : QObject(parent)
{
    setObjectName(QStringLiteral("QuillonControl"));
}

bool HostControl::event(QEvent *event)
{
    if (event->type() != HostMessageEvent::EventType())
        return QObject::event(event);
    const auto *message = static_cast<HostMessageEvent *>(event);
    if (message->message() == kMsgDeliverGlobalMessage)
        deliverGlobalMessage(int(message->param1()));
    return true;
}

void HostControl::deliverGlobalMessage(int handle)
{
    const std::optional<GlobalMessages::Record> record = GlobalMessages::take(handle);
    if (!record)
        return;
    HostMessageReceiver::Broadcast(record->message, record->value1, record->value2);
}
