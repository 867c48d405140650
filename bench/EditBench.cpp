#include "EditBench.h"

#include "BenchData.h"

#include "edit/ColumnProbe.h"
#include "edit/EnquiryEditor.h"
#include "edit/StatementWords.h"
#include "edit/ui/TfrmIPEasyEnquiryAddDlg.h"
#include "host/core/HostContext.h"
#include "host/core/RegIni.h"
#include "host/db/engine/SqliteConnection.h"
#include "host/ui/HostScript.h"
#include "store/Databases.h"
#include "store/DemoData.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>

#include <sqlite3.h>

namespace {

constexpr const char *kPayslips = "SELECT p.*, e.cEmployeeCode, e.cSurname FROM _iptblPayslips p "
                                  "JOIN _iptblEmployees e ON e.idEmployee = p.iEmployeeID";
constexpr int kPrepares = 1000;
constexpr int kRuns = 5;

double MsSince(const QElapsedTimer &timer)
{
    return timer.nsecsElapsed() / 1e6;
}

// The editor's discovery of a changed statement (agent filters, probe, parameters, security
// check, prepare without a step) against sqlite3_prepare_v2 and finalize of the same probe on a
// connection of its own. Per statement, fastest of kRuns runs of kPrepares.
bool ColumnsOverPayslips(int rows)
{
    QTemporaryDir home;
    QString error;
    auto databases
        = OpenHostDatabases(home.path() + "/payroll.db", home.path() + "/common.db", true, error);
    DemoOptions options;
    options.payslipsPerEmployee = 12;
    options.employees = std::max(1, rows / options.payslipsPerEmployee);
    options.fastPasswordHashing = true;
    if (!databases || !CreateDemoData(*databases->payroll, *databases->common, options, error)) {
        std::printf("editor benchmark: no demo data: %s\n", qPrintable(error));
        return false;
    }
    SetHostConnections(databases->payroll.get(), databases->common.get());
    SetReportConnections(databases->reportPayroll.get(), databases->reportCommon.get());
    const std::string probe = BuildColumnProbe(kPayslips).text;
    sqlite3 *plain = nullptr;
    sqlite3_open_v2((home.path() + "/payroll.db").toUtf8().constData(), &plain,
        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);

    EnquiryEditor editor;
    editor.Open(0, false, true, error);
    double editorMs = 1e300;
    double plainMs = 1e300;
    bool ok = true;
    for (int run = 0; run < kRuns && ok; ++run) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < kPrepares; ++i) {
            sqlite3_stmt *statement = nullptr;
            ok = ok
                && sqlite3_prepare_v2(plain, probe.c_str(), -1, &statement, nullptr) == SQLITE_OK
                && sqlite3_column_count(statement) == 11;
            sqlite3_finalize(statement);
        }
        plainMs = std::min(plainMs, MsSince(timer) / kPrepares);
        timer.restart();
        for (int i = 0; i < kPrepares; ++i) {
            // A changed text each time, as the person's confirmed statement is.
            editor.ChangeStatement(QString::fromLatin1(kPayslips) + QString(i % 2, ' '));
            ok = ok && editor.Error().isEmpty() && editor.Columns().size() == 11;
        }
        editorMs = std::min(editorMs, MsSince(timer) / kPrepares);
    }
    sqlite3_close(plain);
    SetHostConnections(nullptr, nullptr);
    SetReportConnections(nullptr, nullptr);
    if (!ok) {
        std::printf("editor benchmark: the columns did not come: %s\n", qPrintable(editor.Error()));
        return false;
    }
    const double ratio = editorMs / plainMs;
    std::printf("  %8d payslips: editor %.3f ms, bare prepare %.3f ms, ratio %.2f (target <= 2): "
                "%s\n",
        rows, editorMs, plainMs, ratio, ratio <= 2.0 ? "met" : "MISSED");
    return true;
}

// A statement of about `bytes` with `markers` parameter markers and `wheres` whole-word WHEREs.
std::string LongStatement(std::size_t bytes, int markers, int wheres)
{
    std::string text = "select a, b from t";
    const std::size_t piece = bytes / std::size_t(markers);
    for (int i = 0; i < markers; ++i) {
        std::string part = i % (markers / wheres) == 0 ? " where x = @p" : " and y = @[p q]";
        part += std::to_string(i % 97);
        part.resize(std::max(part.size(), piece), ' ');
        text += part;
    }
    return text;
}

void ProbeAndKeywordCheck()
{
    for (const auto &[label, bytes, markers, wheres] :
        { std::tuple { "100 KB", std::size_t(100 * 1024), 1000, 100 },
            std::tuple { "1 MB", std::size_t(1024 * 1024), 10000, 1000 } }) {
        const std::string text = LongStatement(bytes, markers, wheres);
        double probeMs = 1e300;
        double checkMs = 1e300;
        std::size_t names = 0;
        for (int run = 0; run < kRuns; ++run) {
            QElapsedTimer timer;
            timer.start();
            names = BuildColumnProbe(text).names.size();
            probeMs = std::min(probeMs, MsSince(timer));
            timer.restart();
            const bool refused = !ForbiddenKeywordMessage(text).empty();
            checkMs = std::min(checkMs, MsSince(timer));
            if (refused)
                std::printf("  (the long statement was refused)\n");
        }
        std::printf("  %-6s (%zu bytes, %zu markers, %d WHEREs): probe %.2f ms, keyword check "
                    "%.2f ms (target < 50 each): %s\n",
            label, text.size(), names, wheres, probeMs, checkMs,
            probeMs < 50 && checkMs < 50 ? "met" : "MISSED");
    }
}

// The editor from the list's Edit until its first paint, offscreen, for an IQ of 300 columns
// whose settings are stored.
bool EditorOpening()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(BenchArguments::Get().argc, BenchArguments::Get().argv);
    QTemporaryDir home;
    RegIni::SetFolder(home.path());
    QString error;
    auto databases
        = OpenHostDatabases(home.path() + "/payroll.db", home.path() + "/common.db", true, error);
    if (!databases)
        return false;
    SetHostConnections(databases->payroll.get(), databases->common.get());
    SetReportConnections(databases->reportPayroll.get(), databases->reportCommon.get());
    std::string sql = "select 0 as c0";
    for (int i = 1; i < 300; ++i)
        sql += ", " + std::to_string(i) + " as c" + std::to_string(i);
    Connection &payroll = *databases->payroll;
    DbError failure;
    bool ok = payroll.run("INSERT INTO _iptblEasyEnquiry (cCode, cDescription, cSQLStatement, "
                          "bCommonDB) VALUES ('WIDE', 'Three hundred columns', ?, 0)",
        { sql }, failure);
    const std::int64_t id = payroll.lastInsertId();
    for (int i = 0; i < 300 && ok; ++i)
        ok = payroll.run("INSERT INTO _iptblEasyEnquiryColumn (iEnquiryID, cColumnName, bShow, "
                         "iOrder) VALUES (?, ?, ?, ?)",
            { id, "c" + std::to_string(i), std::int64_t(i % 3 != 0), std::int64_t(300 - i) },
            failure);
    if (!ok) {
        std::printf("editor benchmark: cannot store the IQ: %s\n", failure.text.c_str());
        return false;
    }
    HostScript script;
    double fastest = 1e300;
    int rowsShown = 0;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        script.onModal("TfrmIPEasyEnquiryAddDlg", [&](QDialog &dialog) {
            dialog.grab(); // the first paint
            fastest = std::min(fastest, MsSince(timer));
            rowsShown = dialog.findChild<QAbstractItemView *>("vwColumn")->model()->rowCount();
        });
        DoIPEasyEnquiryAdd(int(id), false, true);
    }
    SetHostConnections(nullptr, nullptr);
    SetReportConnections(nullptr, nullptr);
    std::printf("  editor on an IQ of %d columns with stored settings: %.1f ms (target < 200): "
                "%s\n",
        rowsShown, fastest, fastest < 200 && rowsShown == 300 ? "met" : "MISSED");
    return rowsShown == 300;
}

} // namespace

bool RunEditorBenchmarks(int rows)
{
    std::printf("\nIQ editor (fastest of %d runs):\n", kRuns);
    bool ok = true;
    for (const int size : { std::min(24000, rows), rows }) {
        ok = ColumnsOverPayslips(size) && ok;
        if (size == rows)
            break;
    }
    ProbeAndKeywordCheck();
    return EditorOpening() && ok;
}
