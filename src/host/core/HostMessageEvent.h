#pragma once

#include <QEvent>

// A host window message (message number and two parameters) travelling as a posted Qt event.
class HostMessageEvent final : public QEvent
{
public:
    HostMessageEvent(int message, qint64 param1, qint64 param2);
    static QEvent::Type EventType();

    int message() const { return m_message; }
    qint64 param1() const { return m_param1; }
    qint64 param2() const { return m_param2; }

private:
    int m_message;
    qint64 m_param1;
    qint64 m_param2;
};
