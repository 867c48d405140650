#pragma once

#include <QString>

// The one progress window of the host, shown by the UI delegate (a terminal shows none).
//
// option1: the window shows "position of maximum" under the bar.
// option2: the work has no known steps; the bar shows activity instead of a position.
void ShowProgressDlg(
    const QString &message, const QString &caption, int maximum, bool option1, bool option2);
// Advances by `step`, or jumps to `position` when it is greater than 0; a non-empty `text`
// replaces the message.
void IncProgressDlg(int step, int position, const QString &text);
void HideProgressDlg();
// Repaints the window while a statement runs (the database layer's progress callback).
void PaintProgressDlg();

struct ProgressState
{
    bool visible = false;
    QString message;
    QString caption;
    int maximum = 0;
    int position = 0;
    bool option1 = false;
    bool option2 = false;
};
ProgressState CurrentProgress();
