#include "host/core/ChangeMessage.h"

#include "host/core/GlobalMessages.h"
#include "host/core/HostControl.h"
#include "host/core/HostMessageEvent.h"

#include <QCoreApplication>
#include <QPointer>

int SetGlobalMessageInt(int message, qint64 value1, qint64 value2, void *pointer)
{
    return GlobalMessages::add({ message, value1, value2, pointer });
}

QObject *QuillonControl()
{
    static QPointer<HostControl> control;
    if (!control)
        control = new HostControl(QCoreApplication::instance()); // dies with the application
    return control;
}

void PostHostMessage(QObject *target, int message, qint64 param1, qint64 param2)
{
    if (target)
        QCoreApplication::postEvent(target, new HostMessageEvent(message, param1, param2));
}

int PendingGlobalMessages()
{
    return GlobalMessages::count();
}
