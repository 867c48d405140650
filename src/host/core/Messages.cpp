#include "host/core/Messages.h"

#include "host/core/Log.h"
#include "host/core/UiDelegate.h"

int ShowHostMessage(MsgKind kind, const QString &text, MsgButtons buttons)
{
    return CurrentUiDelegate().askPerson(kind, text, buttons);
}

void InfoMessage(const QString &text, MsgButtons buttons)
{
    ShowHostMessage(MsgKind::Info, text, buttons);
}

void ErrMessage(const QString &text, MsgButtons buttons, int logType, const QString &extra)
{
    if (logType > 0)
        AddToLog(text, logType, kSeverityError, nullptr, false, extra);
    ShowHostMessage(MsgKind::Error, text, buttons);
}

bool ConfMessage(const QString &text, MsgButtons buttons)
{
    const int answer = ShowHostMessage(MsgKind::Confirm, text, buttons);
    const bool hasYes = buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel;
    return answer == (hasYes ? kAnswerYes : kAnswerOK);
}
