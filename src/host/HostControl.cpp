#include "host/HostControl.h"

#include "host/ChangeMessage.h"
#include "host/GlobalMessages.h"
#include "host/HostMessageEvent.h"
#include "host/ui/HostWindow.h"

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
    HostWindow::Broadcast(record->message, record->value1, record->value2);
}
