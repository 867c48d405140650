#include "host/core/Help.h"

#include "host/core/Messages.h"

namespace {
std::function<void(int)> g_handler;
}

void ShowHelpContext(int context)
{
    if (g_handler) {
        g_handler(context);
        return;
    }
    InfoMessage(QStringLiteral("Help topic %1").arg(context));
}

void SetHelpHandler(std::function<void(int context)> handler)
{
    g_handler = std::move(handler);
}
