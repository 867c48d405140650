#pragma once

#include <QString>

class QDialog;
class QWidget;

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgKind { Info, Error, Confirm };

// Every question to the person goes through these, so a test script can answer instead.
void InfoMessage(const QString &text, MsgButtons buttons = MsgButtons::OK);
// logType > 0 also writes the text (and `extra`) to the message log.
void ErrMessage(const QString &text, MsgButtons buttons = MsgButtons::OK, int logType = 0,
    const QString &extra = {});
// True for Yes; with buttons that have no Yes (OK, OKCancel), OK is the affirmative answer.
bool ConfMessage(const QString &text, MsgButtons buttons = MsgButtons::YesNo);
// Like the three above, but returns the button pressed (a QMessageBox::StandardButton).
int ShowHostMessage(MsgKind kind, const QString &text, MsgButtons buttons);

// Runs a dialog modally and returns its result (QDialog::Accepted / Rejected).
int ExecModal(QDialog &dialog);
// The window new dialogs and messages belong to: the innermost modal dialog, else the active
// window, else the most recently opened host window.
QWidget *ActiveHostWindow();
