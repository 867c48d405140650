#include "host/core/HostMessageReceiver.h"

#include <algorithm>
#include <vector>

namespace {
std::vector<HostMessageReceiver *> &Receivers()
{
    static std::vector<HostMessageReceiver *> receivers;
    return receivers;
}
}

HostMessageReceiver::HostMessageReceiver()
{
    Receivers().push_back(this);
}

HostMessageReceiver::~HostMessageReceiver()
{
    auto &receivers = Receivers();
    receivers.erase(std::remove(receivers.begin(), receivers.end(), this), receivers.end());
}

void HostMessageReceiver::Broadcast(int message, qint64 param1, qint64 param2)
{
    // A window may close while it handles the message: deliver only to those still open.
    const std::vector<HostMessageReceiver *> receivers = Receivers();
    for (HostMessageReceiver *receiver : receivers) {
        const auto &open = Receivers();
        if (std::find(open.begin(), open.end(), receiver) != open.end())
            receiver->HostMessage(message, param1, param2);
    }
}
