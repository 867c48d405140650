#include "ViewBench.h"

#include "BenchData.h"

#include "host/core/Agent.h"
#include "host/core/HostContext.h"
#include "host/core/RegIni.h"
#include "host/core/SqlExec.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/SqliteConnection.h"
#include "host/ui/HostScript.h"
#include "run/ui/TfrmIPEasyEnquiryView.h"
#include "store/CredentialStore.h"
#include "store/Databases.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include <sqlite3.h>

namespace {

constexpr const char *kStatement = "select * from t";
constexpr int kRuns = 3;
constexpr double kTarget = 1.5;
constexpr double kFirstScreenTargetMs = 50;

double plainStepMs(const std::string &file)
{
    sqlite3 *db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    QElapsedTimer timer;
    timer.start();
    const std::size_t checksum = PlainStepLoopOnce(db, kStatement);
    const double ms = timer.nsecsElapsed() / 1e6;
    sqlite3_close(db);
    if (checksum == 42)
        std::printf(" ");
    return ms;
}

bool copyBenchTable(SqliteConnection &payroll)
{
    std::string create;
    DbError error;
    payroll.forEachRow(
        "select sql from bench.sqlite_master where name = 't'", {},
        [&create](const Statement &row) {
            create = row.asText(0);
            return false;
        },
        error);
    return !create.empty() && payroll.execute(create)
        && payroll.execute("insert into main.t select * from bench.t");
}

struct ViewTimes
{
    double firstScreenMs = -1; // from the list's Show to the first paint
    double statementToScreenMs = -1; // from the statement's start to the first paint
    double wholeMs = -1; // to the last row read
    int rowsShown = -1;
};

// One run from the list's point of view: the window opens, runs the statement, lays out and
// paints its first rows; then the rest arrive. The first screen is timed from the statement's
// start and, beside it, from the list's Show (preparation and the load's connection included).
ViewTimes viewRun(int enquiryId)
{
    ViewTimes times;
    QElapsedTimer timer;
    timer.start();
    DoIPEasyEnquiryView(enquiryId);
    TfrmIPEasyEnquiryView *window = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *view = qobject_cast<TfrmIPEasyEnquiryView *>(widget))
            window = view;
    if (!window)
        return times;
    window->grab(); // the first paint
    times.firstScreenMs = timer.nsecsElapsed() / 1e6;
    const auto painted = std::chrono::steady_clock::now();
    auto *query = window->findChild<TQuillonADOQuery *>("qryView");
    if (!query)
        return times;
    times.statementToScreenMs
        = std::chrono::duration<double, std::milli>(painted - query->LoadStartedAt()).count();
    // Waiting here rather than in the event loop: the end of the load, not the next tick.
    while (!query->WaitForRows(SIZE_MAX, std::chrono::seconds(10))) { }
    times.wholeMs = timer.nsecsElapsed() / 1e6;
    if (window->RowsLoading()) {
        QEventLoop ended; // the next tick takes the last rows in
        QObject::connect(window, &TfrmIPEasyEnquiryView::LoadEnded, &ended, &QEventLoop::quit);
        ended.exec();
    }
    times.rowsShown = query->RecordCount();
    window->close();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return times;
}

} // namespace

bool RunViewBenchmark(const std::string &benchFile, int rows)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(BenchArguments::Get().argc, BenchArguments::Get().argv);
    QTemporaryDir home;
    RegIni::SetFolder(home.path());
    QString error;
    auto databases
        = OpenHostDatabases(home.path() + "/payroll.db", home.path() + "/common.db", true, error);
    // IQs run on the locked report connections, which attach nothing: the table is copied into
    // the payroll database, with its declared types, where they read it.
    // Files, so the payroll connection is SQLite's.
    auto *payroll = databases ? static_cast<SqliteConnection *>(databases->payroll.get()) : nullptr;
    if (!payroll || !payroll->attach(benchFile, "bench") || !copyBenchTable(*payroll)) {
        std::printf("view benchmark: cannot open the databases: %s%s\n", qPrintable(error),
            databases ? databases->payroll->lastError().text.c_str() : "");
        return false;
    }
    SetHostConnections(databases->payroll.get(), databases->common.get());
    SetReportConnections(databases->reportPayroll.get(), databases->reportCommon.get());
    SetHostDatabaseNames(home.path() + "/payroll.db", home.path() + "/common.db");
    DbError dbError;
    const CredentialStore credentials(home.path() + "/payroll.db");
    if (!databases->payroll->run(
            "insert into _rtblAgents (cAgentName, bAdministrator, bAllPayrollCompanies, "
            "bAllPayFrequencies, bAllLocations) values (?, 1, 1, 1, 1)",
            { SqlExec::ToValue(QStringLiteral("bench")) }, dbError)
        || !credentials.SetPassword(
            int(databases->payroll->lastInsertId()), QStringLiteral("bench"), true, error)
        || !SignIn(*databases->payroll, credentials, "bench", "bench", error)) {
        std::printf(
            "view benchmark: cannot sign in: %s%s\n", dbError.text.c_str(), qPrintable(error));
        return false;
    }
    HostScript script; // a failure's message box must not wait for a person

    TqryIPEasyEnquiry iq;
    iq.SetConnection(databases->payroll.get());
    if (!iq.SelectRecords(TqryIPEasyEnquiry::_IPEQIDEnquiry, 0) || !iq.brAppend()
        || !iq.SetCode("BENCH") || !iq.SetDescription("Benchmark rows")
        || !iq.SetSQLStatement(kStatement) || !iq.SetCommonDB(false) || !iq.brPost()) {
        std::printf("view benchmark: cannot store the IQ: %s\n", qPrintable(iq.LastErrorText()));
        return false;
    }
    const int id = iq.GetIDEnquiry();

    double plain = 1e300;
    double view = 1e300;
    double firstScreen = 1e300;
    double statementToScreen = 1e300;
    for (int run = 0; run < kRuns; ++run) {
        plain = std::min(plain, plainStepMs(benchFile));
        const ViewTimes times = viewRun(id);
        if (times.wholeMs < 0 || times.rowsShown != rows) {
            std::printf("view benchmark: the window showed %d of %d rows; messages: %s\n",
                times.rowsShown, rows, qPrintable(script.takeMessages().join(" | ")));
            return false;
        }
        view = std::min(view, times.wholeMs);
        firstScreen = std::min(firstScreen, times.firstScreenMs);
        statementToScreen = std::min(statementToScreen, times.statementToScreenMs);
    }
    const double ratio = view / plain;
    std::printf(
        "\nIQ run into the result window, %d rows x 10 columns (fastest of %d):\n", rows, kRuns);
    std::printf("  plain sqlite3_step loop      %10.1f ms\n", plain);
    std::printf("  prepare+open+layout+paint    %10.1f ms (to the last row)\n", view);
    std::printf(
        "  ratio %.2f (target <= %.1f): %s\n", ratio, kTarget, TargetStatus(ratio, kTarget, rows));
    // Whatever the row count: the window shows its first rows while the rest load.
    std::printf("  first screen, statement start to first paint %6.1f ms (target <= %.0f ms): %s\n",
        statementToScreen, kFirstScreenTargetMs,
        statementToScreen <= kFirstScreenTargetMs ? "met" : "NOT MET");
    std::printf("  first screen, Show to first paint            %6.1f ms\n", firstScreen);
    SetHostConnections(nullptr, nullptr);
    SetReportConnections(nullptr, nullptr);
    SetHostDatabaseNames({}, {});
    return true;
}
