#include "host/core/GridExportXlsx.h"

#include "host/core/ExportFile.h"
#include "host/db/dataset/TQuillonDataSet.h"

#include <QDir>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include <xlsxwriter.h>

namespace {

constexpr int kExcelCellMaxChars = 32767;

// Excel refuses these characters in a sheet name and names longer than 31 characters.
QString SheetName(const QString &title)
{
    QString name = title.trimmed();
    for (QChar &c : name) {
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = QLatin1Char('_');
    }
    name = name.left(LXW_SHEETNAME_MAX).trimmed();
    while (name.startsWith(QLatin1Char('\'')) || name.endsWith(QLatin1Char('\'')))
        name = name.startsWith(QLatin1Char('\'')) ? name.mid(1) : name.chopped(1);
    return name.isEmpty() ? QStringLiteral("Sheet1") : name;
}

lxw_datetime ExcelStamp(const GridExportCell &cell)
{
    const QDate date = cell.stamp.date();
    const QTime time = cell.stamp.time();
    const double seconds = time.second() + time.msec() / 1000.0;
    // A time of day alone is written with the date part zero, as Excel stores it.
    if (cell.kind == GridExportCell::Time)
        return lxw_datetime { 0, 0, 0, time.hour(), time.minute(), seconds };
    return lxw_datetime { date.year(), date.month(), date.day(), time.hour(), time.minute(),
        seconds };
}

// The library prints its own lines on stderr when a file fails (a full disk), besides returning
// the error; the caller reports the error in one line, so those lines go to /dev/null while the
// workbook is built. glibc's stderr is a variable that can be pointed elsewhere for the while.
class QuietLibraryMessages
{
public:
    QuietLibraryMessages()
    {
#ifdef __GLIBC__
        m_sink = std::fopen("/dev/null", "w");
        if (m_sink) {
            std::fflush(stderr);
            m_saved = stderr;
            stderr = m_sink;
        }
#endif
    }
    ~QuietLibraryMessages()
    {
        if (m_sink) {
            stderr = m_saved;
            std::fclose(m_sink);
        }
    }
    QuietLibraryMessages(const QuietLibraryMessages &) = delete;
    QuietLibraryMessages &operator=(const QuietLibraryMessages &) = delete;

private:
    std::FILE *m_sink = nullptr;
    std::FILE *m_saved = nullptr;
};

struct WorkbookCloser
{
    void operator()(lxw_workbook *workbook) const { workbook_close(workbook); }
};

} // namespace

bool GridExportXlsx::Write(const TQuillonDataSet &data,
    const std::vector<GridExportBinding> &columns, ExportFile &file,
    const GridExportOptions &options, QString &error)
{
    const int headerRows = options.captions ? 1 : 0;
    if ((options.rows ? int(options.rows->size()) : data.RecordCount()) + headerRows
        > LXW_ROW_MAX) {
        error = QStringLiteral("The result has too many rows for an Excel sheet (at most %1).")
                    .arg(LXW_ROW_MAX - headerRows);
        return false;
    }
    // The library writes the workbook to a file name of its own; the finished workbook is then
    // copied into the export's file, so a FIFO or device gets it in place.
    QTemporaryFile temporary(QDir::temp().filePath(QStringLiteral("corvane-export-XXXXXX.xlsx")));
    if (!temporary.open()) {
        error = QStringLiteral("Cannot write a temporary workbook in \"%1\": %2")
                    .arg(QDir::tempPath(), temporary.errorString());
        return false;
    }
    temporary.close();
    const QByteArray temporaryName = QFile::encodeName(temporary.fileName());
    std::optional<QuietLibraryMessages> quiet(std::in_place);
    lxw_workbook_options workbookOptions {};
    workbookOptions.constant_memory = LXW_TRUE; // rows go straight to disk: any size fits
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(
        workbook_new_opt(temporaryName.constData(), &workbookOptions));
    if (!workbook) {
        error
            = QStringLiteral("Cannot write a temporary workbook in \"%1\".").arg(QDir::tempPath());
        return false;
    }
    lxw_worksheet *sheet
        = workbook_add_worksheet(workbook.get(), SheetName(options.title).toUtf8().constData());
    lxw_format *bold = workbook_add_format(workbook.get());
    format_set_bold(bold);
    lxw_format *dateFormat = workbook_add_format(workbook.get());
    format_set_num_format(dateFormat, "yyyy-mm-dd");
    lxw_format *stampFormat = workbook_add_format(workbook.get());
    format_set_num_format(stampFormat, "yyyy-mm-dd hh:mm:ss");
    lxw_format *timeFormat = workbook_add_format(workbook.get());
    format_set_num_format(timeFormat, "hh:mm:ss");

    lxw_error failure = LXW_NO_ERROR;
    const auto check = [&failure](lxw_error result) {
        if (failure == LXW_NO_ERROR && result != LXW_NO_ERROR)
            failure = result;
    };
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const double width = std::max(10, int(columns[i].caption.size()) + 2);
        check(worksheet_set_column(sheet, lxw_col_t(i), lxw_col_t(i), width, nullptr));
    }
    if (options.captions) {
        for (std::size_t i = 0; i < columns.size(); ++i)
            check(worksheet_write_string(
                sheet, 0, lxw_col_t(i), columns[i].caption.toUtf8().constData(), bold));
        worksheet_freeze_panes(sheet, 1, 0);
    }
    lxw_row_t sheetRow = lxw_row_t(headerRows);
    ForEachExportRow(data, options, [&](int row) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const GridExportCell cell = GridExportCell::Read(data, row, columns[i]);
            const lxw_col_t col = lxw_col_t(i);
            switch (cell.kind) {
            case GridExportCell::Null:
                break;
            case GridExportCell::Bool:
                check(worksheet_write_boolean(sheet, sheetRow, col, int(cell.integer), nullptr));
                break;
            case GridExportCell::Int:
                check(worksheet_write_number(sheet, sheetRow, col, double(cell.integer), nullptr));
                break;
            case GridExportCell::Real:
                if (std::isfinite(cell.real))
                    check(worksheet_write_number(sheet, sheetRow, col, cell.real, nullptr));
                break;
            case GridExportCell::Date:
            case GridExportCell::Time:
            case GridExportCell::DateTime: {
                lxw_datetime stamp = ExcelStamp(cell);
                lxw_format *format = cell.kind == GridExportCell::Date ? dateFormat
                    : cell.kind == GridExportCell::Time                ? timeFormat
                                                                       : stampFormat;
                check(worksheet_write_datetime(sheet, sheetRow, col, &stamp, format));
                break;
            }
            case GridExportCell::Text: {
                // Excel holds at most 32767 characters in a cell.
                const QByteArray text = cell.text.left(kExcelCellMaxChars).toUtf8();
                check(worksheet_write_string(sheet, sheetRow, col, text.constData(), nullptr));
                break;
            }
            }
        }
        ++sheetRow;
    });
    errno = 0;
    const lxw_error closed = workbook_close(workbook.release());
    const int systemError = errno; // the library's own text does not carry the system's reason
    quiet.reset();
    if (failure == LXW_NO_ERROR)
        failure = closed;
    if (failure != LXW_NO_ERROR) {
        error = QStringLiteral("Cannot write a temporary workbook in \"%1\": %2")
                    .arg(QDir::tempPath(),
                        systemError != 0 ? QString::fromLocal8Bit(std::strerror(systemError))
                                         : QString::fromUtf8(lxw_strerror(failure)));
        return false;
    }
    if (!file.Open(error))
        return false;
    QFile workbookFile(temporary.fileName());
    if (workbookFile.open(QIODevice::ReadOnly)) {
        for (QByteArray chunk; !file.Failed() && !(chunk = workbookFile.read(1 << 16)).isEmpty();)
            file.Write(chunk);
    }
    if (workbookFile.error() != QFileDevice::NoError) {
        file.Cancel();
        error = QStringLiteral("Cannot read the temporary workbook \"%1\": %2")
                    .arg(temporary.fileName(), workbookFile.errorString());
        return false;
    }
    return file.Commit(error);
}
