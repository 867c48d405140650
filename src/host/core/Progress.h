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
// Repaints the window while long work runs (the database layer's progress callback, an export's
// rows) and, where the window has a Cancel, lets the person press it.
void PaintProgressDlg();
// Gives the window shown a Cancel (until the next show or hide). While it has one, the other
// windows take no input, so the work cannot be changed under itself.
void AllowProgressCancel();
// Whether Cancel was pressed since AllowProgressCancel; the work then stops as soon as it can.
bool ProgressCancelled();
void CancelProgressDlg(); // what the window's Cancel does

struct ProgressState
{
    bool visible = false;
    QString message;
    QString caption;
    int maximum = 0;
    int position = 0;
    bool option1 = false;
    bool option2 = false;
    bool cancellable = false;
    bool cancelled = false;
};
ProgressState CurrentProgress();
