#include "host/core/HostMessageEvent.h"

HostMessageEvent::HostMessageEvent(int message, qint64 param1, qint64 param2)
    : QEvent(EventType())
    , m_message(message)
    , m_param1(param1)
    , m_param2(param2)
{
}

QEvent::Type HostMessageEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}
