#include "host/Cursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
int g_depth = 0;

bool HasCursor()
{
    // The command-line program has no GUI application and so no cursor.
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}
}

void PushCursor()
{
    ++g_depth;
    if (HasCursor())
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void PopCursor(bool all)
{
    int levels = all ? g_depth : (g_depth > 0 ? 1 : 0);
    g_depth -= levels;
    if (!HasCursor())
        return;
    while (levels-- > 0)
        QGuiApplication::restoreOverrideCursor();
}

int CursorDepth()
{
    return g_depth;
}
