// corvane-iq: the IQ package without windows, for scripts and schedulers.
#include "app/cli/CliCommand.h"
#include "host/core/UiDelegate.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName("Corvane");
    QCoreApplication::setApplicationName("corvane");
    TerminalDelegate terminal; // nobody to ask: messages on stderr, questions declined
    ScopedUiDelegate terminalAnswers(terminal);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int code = RunCorvaneIQ(QCoreApplication::arguments(), out, err);
    out.flush();
    err.flush();
    return code;
}
