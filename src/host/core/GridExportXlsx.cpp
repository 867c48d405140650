#include "host/core/GridExportXlsx.h"

#include "host/core/ExportFile.h"
#include "host/core/GridExportText.h"
#include "host/core/GridExportValue.h"
#include "host/db/engine/IsoDate.h"

#include <QDir>
#include <QTemporaryFile>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include <xlsxwriter.h>

namespace {

// A whole number a double holds exactly: beyond it a number cell would round.
constexpr std::int64_t kExactInDouble = std::int64_t(1) << 53;

// Excel refuses these characters in a sheet name and names longer than 31 characters. Sheets
// after the first are numbered: "Title (2)".
QString SheetName(const QString &title, int number)
{
    const QString suffix = number > 1 ? QStringLiteral(" (%1)").arg(number) : QString();
    QString name = title.trimmed();
    for (QChar &c : name) {
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = QLatin1Char('_');
    }
    name = name.left(LXW_SHEETNAME_MAX - suffix.size()).trimmed();
    while (name.startsWith(QLatin1Char('\'')) || name.endsWith(QLatin1Char('\'')))
        name = name.startsWith(QLatin1Char('\'')) ? name.mid(1) : name.chopped(1);
    return (name.isEmpty() ? QStringLiteral("Sheet1") : name) + suffix;
}

// A cell's text as Excel holds it: at most 32,767 characters (UTF-16 units, as Excel counts),
// no NUL, valid UTF-8 only (a byte that starts no sequence becomes U+FFFD). True when cut.
bool CellText(std::string_view text, std::string &out)
{
    bool plain = text.size() <= std::size_t(kExcelCellChars);
    for (std::size_t i = 0; plain && i < text.size(); ++i)
        plain = static_cast<unsigned char>(text[i]) - 1u < 0x7Fu; // ASCII, not NUL
    if (plain) {
        out.assign(text);
        return false;
    }
    out.clear();
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        std::size_t length = c < 0x80 ? 1 : GridExportText::Utf8Sequence(text.substr(i));
        std::string_view piece = text.substr(i, length);
        if (c == 0 || length == 0) {
            piece = GridExportText::kReplacement;
            length = 1;
        }
        const std::size_t width = length == 4 ? 2 : 1;
        if (units + width > std::size_t(kExcelCellChars))
            return true;
        units += width;
        out += piece;
        i += length;
    }
    return false;
}

// The library prints its own lines on stderr when a file fails (a full disk), besides returning
// the error; the caller reports the error in one line, so those lines go to /dev/null while the
// library opens or closes the workbook. glibc's stderr is a variable that can be pointed
// elsewhere for the while.
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

} // namespace

GridExportXlsx::GridExportXlsx(
    ExportFile &file, const GridExportOptions &options, GridExportReport &report)
    : m_file(file)
    , m_options(options)
    , m_report(report)
{
    m_options.sheetRows = std::clamp(m_options.sheetRows, 2, kExcelSheetRows);
    m_report.sheetRows = m_options.sheetRows - (m_options.captions ? 1 : 0);
}

GridExportXlsx::~GridExportXlsx()
{
    if (m_workbook) {
        QuietLibraryMessages quiet;
        workbook_close(m_workbook);
    }
}

bool GridExportXlsx::Begin(const std::vector<std::string> &captions, QString &error)
{
    m_captions = captions;
    // The library writes the workbook to a file name of its own; the finished workbook is then
    // copied into the export's file, so a FIFO or device gets it in place.
    m_temporary = std::make_unique<QTemporaryFile>(
        QDir::temp().filePath(QStringLiteral("corvane-export-XXXXXX.xlsx")));
    if (!m_temporary->open()) {
        error = QStringLiteral("Cannot write a temporary workbook in \"%1\": %2")
                    .arg(QDir::tempPath(), m_temporary->errorString());
        return false;
    }
    m_temporary->close();
    const QByteArray name = QFile::encodeName(m_temporary->fileName());
    lxw_workbook_options workbookOptions {};
    workbookOptions.constant_memory = LXW_TRUE; // rows go straight to disk: any size fits
    {
        QuietLibraryMessages quiet;
        m_workbook = workbook_new_opt(name.constData(), &workbookOptions);
    }
    if (!m_workbook) {
        error
            = QStringLiteral("Cannot write a temporary workbook in \"%1\".").arg(QDir::tempPath());
        return false;
    }
    m_bold = workbook_add_format(m_workbook);
    format_set_bold(m_bold);
    m_dateFormat = workbook_add_format(m_workbook);
    format_set_num_format(m_dateFormat, "yyyy-mm-dd");
    m_stampFormat = workbook_add_format(m_workbook);
    format_set_num_format(m_stampFormat, "yyyy-mm-dd hh:mm:ss");
    m_timeFormat = workbook_add_format(m_workbook);
    format_set_num_format(m_timeFormat, "hh:mm:ss");
    if (!AddSheet()) {
        error = WorkbookError(0);
        return false;
    }
    return true;
}

bool GridExportXlsx::AddSheet()
{
    ++m_report.sheets;
    {
        QuietLibraryMessages quiet;
        m_sheet = workbook_add_worksheet(
            m_workbook, SheetName(m_options.title, m_report.sheets).toUtf8().constData());
    }
    if (!m_sheet) {
        Check(LXW_ERROR_MEMORY_MALLOC_FAILED);
        return false;
    }
    m_sheetRow = 0;
    for (std::size_t i = 0; i < m_captions.size(); ++i) {
        const int characters = int(QString::fromStdString(m_captions[i]).size());
        Check(worksheet_set_column(
            m_sheet, lxw_col_t(i), lxw_col_t(i), std::max(10, characters + 2), nullptr));
    }
    if (m_options.captions) {
        for (std::size_t i = 0; i < m_captions.size(); ++i) {
            CellText(m_captions[i], m_text);
            Check(worksheet_write_string(m_sheet, 0, lxw_col_t(i), m_text.c_str(), m_bold));
        }
        worksheet_freeze_panes(m_sheet, 1, 0);
        m_sheetRow = 1;
    }
    return true;
}

void GridExportXlsx::Row(const GridExportValue *values)
{
    using Kind = GridExportValue::Kind;
    if (m_sheetRow >= std::uint32_t(m_options.sheetRows) && !AddSheet())
        return;
    for (std::size_t i = 0; i < m_captions.size(); ++i) {
        const GridExportValue &value = values[i];
        const lxw_col_t column = lxw_col_t(i);
        switch (value.kind) {
        case Kind::Null:
            break;
        case Kind::Bool:
            Check(
                worksheet_write_boolean(m_sheet, m_sheetRow, column, int(value.integer), nullptr));
            break;
        case Kind::Integer:
            if (value.integer > kExactInDouble || value.integer < -kExactInDouble) {
                std::string digits;
                GridExportText::AppendInteger(digits, value.integer);
                WriteText(int(i), digits);
            } else {
                Check(worksheet_write_number(
                    m_sheet, m_sheetRow, column, double(value.integer), nullptr));
            }
            break;
        case Kind::Real:
            if (std::isfinite(value.real))
                Check(worksheet_write_number(m_sheet, m_sheetRow, column, value.real, nullptr));
            break;
        case Kind::Date:
            WriteDate(int(i), value.integer);
            break;
        case Kind::Time: {
            // A time of day alone is written with the date part zero, as Excel stores it.
            const std::int64_t ms = value.integer;
            lxw_datetime stamp { 0, 0, 0, int(ms / 3600000), int(ms / 60000 % 60),
                (ms % 60000) / 1000.0 };
            Check(worksheet_write_datetime(m_sheet, m_sheetRow, column, &stamp, m_timeFormat));
            break;
        }
        case Kind::Text:
            WriteText(int(i), value.text);
            break;
        case Kind::Bytes: {
            std::string base64;
            GridExportText::AppendBase64(base64, value.text);
            WriteText(int(i), base64);
            break;
        }
        }
    }
    ++m_sheetRow;
}

void GridExportXlsx::WriteText(int column, std::string_view text)
{
    if (CellText(text, m_text))
        ++m_report.cutTexts;
    Check(worksheet_write_string(m_sheet, m_sheetRow, lxw_col_t(column), m_text.c_str(), nullptr));
}

void GridExportXlsx::WriteDate(int column, std::int64_t ms)
{
    int year, month, day, hour, minute, second, millisecond;
    IsoDate::toParts(ms, year, month, day, hour, minute, second, millisecond);
    // Excel has no dates before 1900 (nor after 9999): those stay the text they were.
    if (year < 1900 || year > 9999) {
        std::string text;
        GridExportText::AppendDate(text, ms, ' ');
        WriteText(column, text);
        return;
    }
    const bool dateOnly = !(hour || minute || second || millisecond);
    lxw_datetime stamp { year, month, day, hour, minute, second + millisecond / 1000.0 };
    Check(worksheet_write_datetime(
        m_sheet, m_sheetRow, lxw_col_t(column), &stamp, dateOnly ? m_dateFormat : m_stampFormat));
}

void GridExportXlsx::Check(int result)
{
    if (m_failure == 0 && result != LXW_NO_ERROR)
        m_failure = result;
}

QString GridExportXlsx::WorkbookError(int systemError) const
{
    return QStringLiteral("Cannot write a temporary workbook in \"%1\": %2")
        .arg(QDir::tempPath(),
            systemError != 0 ? QString::fromLocal8Bit(std::strerror(systemError))
                             : QString::fromUtf8(lxw_strerror(lxw_error(m_failure))));
}

bool GridExportXlsx::Finish(QString &error)
{
    if (!m_workbook) {
        error = WorkbookError(0);
        return false;
    }
    lxw_error closed;
    int systemError;
    {
        QuietLibraryMessages quiet;
        errno = 0;
        closed = workbook_close(m_workbook);
        systemError = errno; // the library's own text does not carry the system's reason
    }
    m_workbook = nullptr;
    Check(closed);
    if (m_failure != 0) {
        error = WorkbookError(systemError);
        return false;
    }
    if (!m_file.Open(error))
        return false;
    QFile workbookFile(m_temporary->fileName());
    if (workbookFile.open(QIODevice::ReadOnly)) {
        for (QByteArray chunk; !m_file.Failed() && !(chunk = workbookFile.read(1 << 16)).isEmpty();)
            m_file.Write(chunk);
    }
    if (workbookFile.error() != QFileDevice::NoError) {
        m_file.Cancel();
        error = QStringLiteral("Cannot read the temporary workbook \"%1\": %2")
                    .arg(m_temporary->fileName(), workbookFile.errorString());
        return false;
    }
    return m_file.Commit(error);
}
