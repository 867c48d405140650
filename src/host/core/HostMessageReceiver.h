#pragma once

#include <QtGlobal>

// Something that receives the host's broadcast messages (every open host window is one). It is
// on the list from construction to destruction.
class HostMessageReceiver
{
public:
    HostMessageReceiver();
    virtual ~HostMessageReceiver();
    HostMessageReceiver(const HostMessageReceiver &) = delete;
    HostMessageReceiver &operator=(const HostMessageReceiver &) = delete;

    virtual void HostMessage(int message, qint64 param1, qint64 param2) = 0;

    // Delivers to every receiver, oldest first, skipping those gone meanwhile.
    static void Broadcast(int message, qint64 param1, qint64 param2);
};
