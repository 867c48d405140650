// corvane-iq: the IQ package without windows, for scripts and schedulers.
#include "app/cli/CliCommand.h"
#include "app/cli/DescriptorOutput.h"
#include "host/core/ExportFile.h"
#include "host/core/UiDelegate.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

// A standard descriptor the caller closed ("corvane-iq list >&-") would otherwise be the next
// file opened, and the output would land in it. /dev/null opened for reading takes its place:
// reading finds nothing, and writing fails with the system's reason (a bad descriptor).
void ReserveClosedStandardDescriptors()
{
    for (const int descriptor : { STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO }) {
        if (::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF)
            continue;
        const int placeholder = ::open("/dev/null", O_RDONLY);
        if (placeholder >= 0 && placeholder != descriptor) {
            ::dup2(placeholder, descriptor);
            ::close(placeholder);
        }
    }
}

// Qt's note that it picked a runtime folder itself says nothing to a chart's reader; every other
// message passes on, so an error stays one line.
QtMessageHandler previousHandler = nullptr;

void quietRuntimeFolderNote(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (!text.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set")))
        previousHandler(type, context, text);
}

} // namespace

int main(int argc, char **argv)
{
    ReserveClosedStandardDescriptors();
    // Drawing a chart needs fonts, so a GUI application, but never a display: the offscreen
    // platform draws into images. Every other command stays a plain core application.
    const bool drawing = std::any_of(argv + 1, argv + argc,
        [](const char *argument) { return std::strcmp(argument, "chart") == 0; });
    if (drawing) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        previousHandler = qInstallMessageHandler(quietRuntimeFolderNote);
    }
    std::unique_ptr<QCoreApplication> app = drawing
        ? std::make_unique<QGuiApplication>(argc, argv)
        : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setOrganizationName("Corvane");
    QCoreApplication::setApplicationName("corvane");
    TerminalDelegate terminal; // nobody to ask: messages on stderr, questions declined
    ScopedUiDelegate terminalAnswers(terminal);
    ExportFile standardOutput(STDOUT_FILENO, QStringLiteral("standard output"));
    DescriptorOutput outDevice(standardOutput);
    outDevice.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    QTextStream out(&outDevice);
    QTextStream err(stderr);
    int code = RunCorvaneIQ(QCoreApplication::arguments(), out, err, standardOutput);
    out.flush();
    // Output that did not arrive whole is a failure, also after a command that succeeded.
    QString error;
    if (!standardOutput.Commit(error) && code == ExitOk) {
        err << "corvane-iq: " << error << "\n";
        code = ExitFailure;
    }
    err.flush();
    return code;
}
