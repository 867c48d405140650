#include "host/core/Progress.h"

#include "host/core/UiDelegate.h"

namespace {
ProgressState g_state;

void ShowState()
{
    CurrentUiDelegate().showProgress(g_state);
}
}

void ShowProgressDlg(
    const QString &message, const QString &caption, int maximum, bool option1, bool option2)
{
    g_state.visible = true;
    g_state.message = message;
    g_state.caption = caption;
    g_state.maximum = qMax(0, maximum);
    g_state.position = 0;
    g_state.option1 = option1;
    g_state.option2 = option2;
    g_state.cancellable = false;
    g_state.cancelled = false;
    ShowState();
}

void IncProgressDlg(int step, int position, const QString &text)
{
    if (!g_state.visible)
        return;
    g_state.position = position > 0 ? position : g_state.position + step;
    g_state.position = qBound(0, g_state.position, g_state.maximum);
    if (!text.isEmpty())
        g_state.message = text;
    ShowState();
}

void HideProgressDlg()
{
    g_state.visible = false;
    g_state.cancellable = false;
    ShowState();
}

void AllowProgressCancel()
{
    if (!g_state.visible)
        return;
    g_state.cancellable = true;
    g_state.cancelled = false;
    ShowState();
}

bool ProgressCancelled()
{
    return g_state.cancellable && g_state.cancelled;
}

void CancelProgressDlg()
{
    if (!g_state.cancellable || g_state.cancelled)
        return;
    g_state.cancelled = true;
    ShowState();
}

void PaintProgressDlg()
{
    if (g_state.visible)
        CurrentUiDelegate().paintProgress();
}

ProgressState CurrentProgress()
{
    return g_state;
}
