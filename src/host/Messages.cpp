#include "host/Messages.h"

#include "host/HostScript.h"
#include "host/Log.h"
#include "host/ui/HostWindow.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>

#include <cstdio>
#include <vector>

namespace {

// Dialogs currently inside ExecModal, innermost last.
std::vector<QPointer<QDialog>> &ModalStack()
{
    static std::vector<QPointer<QDialog>> stack;
    return stack;
}

QMessageBox::StandardButtons ToStandardButtons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OK:
        return QMessageBox::Ok;
    case MsgButtons::OKCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToIcon(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Info:
        return QMessageBox::Information;
    case MsgKind::Error:
        return QMessageBox::Critical;
    case MsgKind::Confirm:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

int AskPerson(MsgKind kind, const QString &text, MsgButtons buttons)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        // Without windows (the command-line program) nobody can answer: say it and decline.
        fprintf(stderr, "%s\n", qPrintable(text));
        return buttons == MsgButtons::OK ? QMessageBox::Ok : QMessageBox::No;
    }
    QMessageBox box(ToIcon(kind), QStringLiteral("Corvane"), text, ToStandardButtons(buttons),
        ActiveHostWindow());
    return box.exec();
}

} // namespace

int ShowHostMessage(MsgKind kind, const QString &text, MsgButtons buttons)
{
    if (HostScript *script = HostScript::installed())
        return script->answerMessage(kind, text, buttons);
    return AskPerson(kind, text, buttons);
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
    return answer == (hasYes ? QMessageBox::Yes : QMessageBox::Ok);
}

int ExecModal(QDialog &dialog)
{
    ModalStack().emplace_back(&dialog);
    int result;
    if (HostScript *script = HostScript::installed())
        result = script->runModal(dialog);
    else
        result = dialog.exec();
    ModalStack().pop_back();
    return result;
}

QWidget *ActiveHostWindow()
{
    auto &stack = ModalStack();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (*it)
            return it->data();
    }
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return nullptr;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    return HostWindow::LastOpenedWindow();
}
