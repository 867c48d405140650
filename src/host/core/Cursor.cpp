#include "host/core/Cursor.h"

#include "host/core/UiDelegate.h"

namespace {
int g_depth = 0;
}

void PushCursor()
{
    ++g_depth;
    CurrentUiDelegate().showBusy(g_depth);
}

void PopCursor(bool all)
{
    if (g_depth == 0)
        return;
    g_depth = all ? 0 : g_depth - 1;
    CurrentUiDelegate().showBusy(g_depth);
}

int CursorDepth()
{
    return g_depth;
}
