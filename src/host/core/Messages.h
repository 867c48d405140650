#pragma once

#include <QString>

enum class MsgButtons { OK, OKCancel, YesNo, YesNoCancel };
enum class MsgKind { Info, Error, Confirm };
// The buttons a person can press, with the values of the widgets' standard buttons.
enum MsgAnswer : int {
    kAnswerNone = 0,
    kAnswerOK = 0x00000400,
    kAnswerYes = 0x00004000,
    kAnswerNo = 0x00010000,
    kAnswerCancel = 0x00400000,
};

// Every question to the person goes through these, and they through the installed UI delegate,
// so a terminal or a test script can answer instead.
void InfoMessage(const QString &text, MsgButtons buttons = MsgButtons::OK);
// logType > 0 also writes the text (and `extra`) to the message log.
void ErrMessage(const QString &text, MsgButtons buttons = MsgButtons::OK, int logType = 0,
    const QString &extra = {});
// True for Yes; with buttons that have no Yes (OK, OKCancel), OK is the affirmative answer.
bool ConfMessage(const QString &text, MsgButtons buttons = MsgButtons::YesNo);
// Like the three above, but returns the button pressed (a MsgAnswer).
int ShowHostMessage(MsgKind kind, const QString &text, MsgButtons buttons);
