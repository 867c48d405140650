// corvane: the host program. Signs an agent in, opens the databases, loads the IQ package and
// shows its page.
#include "app/common/HostSession.h"
#include "app/gui/PackageLoader.h"
#include "app/gui/TfrmCorvaneMain.h"
#include "app/gui/TfrmSignIn.h"
#include "host/core/Messages.h"
#include "host/ui/WidgetsDelegate.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QProcess>

#include <cstdio>

namespace {

bool haveDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

// Without a display the main job still shows: the IQ list, from the command-line tool.
int listWithoutDisplay(char *program)
{
    std::fprintf(stderr, "corvane: no display found; listing the IQs with corvane-iq instead.\n");
    const QString dir = QString::fromLocal8Bit(program).section('/', 0, -2);
    QStringList args = QStringList { "list" };
    return QProcess::execute((dir.isEmpty() ? "." : dir) + "/corvane-iq", args);
}

} // namespace

int main(int argc, char **argv)
{
    if (!haveDisplay())
        return listWithoutDisplay(argv[0]);
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Corvane");
    QApplication::setApplicationName("corvane");
    QApplication::setApplicationDisplayName("Corvane Payroll");

    QCommandLineParser parser;
    parser.setApplicationDescription("Corvane payroll with the IQ reports.");
    parser.addHelpOption();
    const QCommandLineOption agentOption("agent", "Agent to offer at sign-in.", "NAME");
    const QCommandLineOption payrollOption("payroll",
        "The payroll database: a FILE or odbc:CONNECTION (default: the demo database).", "FILE");
    const QCommandLineOption commonOption("common",
        "The common database: a FILE or odbc:CONNECTION (default: the demo database).", "FILE");
    parser.addOptions({ agentOption, payrollOption, commonOption });
    parser.process(app);
    WidgetsDelegate person;
    ScopedUiDelegate personAnswers(person);

    HostSession session;
    QString error;
    if (!session.Open(parser.value(payrollOption), parser.value(commonOption), true, error)) {
        std::fprintf(stderr, "corvane: %s\n", qPrintable(error));
        ErrMessage(error);
        return 1;
    }
    PackageLoader package;
    if (!package.Load(
            QApplication::applicationDirPath() + "/libqpCharts.so", "TrpICharts", error)) {
        std::fprintf(stderr, "corvane: %s\n", qPrintable(error));
        ErrMessage(error);
        return 1;
    }
    for (;;) {
        TfrmSignIn signIn(session, parser.value(agentOption));
        if (signIn.exec() != QDialog::Accepted)
            return 0;
        TfrmCorvaneMain window(session, *package.Interface());
        window.show();
        app.exec();
        // The closed windows go now, before anyone signs in again.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (!window.SignOutRequested())
            return 0;
        session.SignOut();
    }
}
