#include "host/core/UiDelegate.h"

#include <cstdio>

namespace {
TerminalDelegate g_terminal;
UiDelegate *g_delegate = &g_terminal;
}

UiDelegate &CurrentUiDelegate()
{
    return *g_delegate;
}

UiDelegate *InstallUiDelegate(UiDelegate *delegate)
{
    UiDelegate *previous = g_delegate;
    g_delegate = delegate ? delegate : &g_terminal;
    return previous;
}

int TerminalDelegate::askPerson(MsgKind, const QString &text, MsgButtons buttons)
{
    fprintf(stderr, "%s\n", qPrintable(text));
    return buttons == MsgButtons::OK ? kAnswerOK : kAnswerNo;
}

int TerminalDelegate::runModal(QDialog &)
{
    return 0; // QDialog::Rejected
}
