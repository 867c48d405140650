#include "FileBytes.h"
#include "TableRows.h"
#include "ZipEntries.h"

#include "host/core/GridExport.h"
#include "host/db/dataset/TQuillonTempTable.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

namespace {

using Rows = std::vector<std::vector<std::string>>;

// The test's own reader of CSV and TSV, as spreadsheet programs read them: rows end at CRLF or
// LF, fields at `separator`; a field that starts with a quote runs to the next single quote and
// may hold anything, its quotes doubled.
Rows ReadDelimited(const QByteArray &bytes, char separator)
{
    const auto at = [&bytes](qsizetype i) { return i < bytes.size() ? bytes[i] : '\0'; };
    Rows rows(1, std::vector<std::string>(1));
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        std::string &field = rows.back().back();
        const char c = bytes[i];
        if (c == '"' && field.empty()) {
            for (++i; i < bytes.size() && !(bytes[i] == '"' && at(i + 1) != '"'); ++i)
                field += bytes[bytes[i] == '"' ? ++i : i];
        } else if (c == separator) {
            rows.back().emplace_back();
        } else if (c == '\n' || (c == '\r' && at(i + 1) == '\n')) {
            i += c == '\r';
            rows.emplace_back(1);
        } else {
            field += c;
        }
    }
    rows.pop_back(); // after the last line end
    return rows;
}

// The cells of a worksheet's XML by reference ("B2"): the text of an inline string or the value,
// and the style index.
struct SheetCell
{
    QString text;
    int style = 0;
};
std::map<QString, SheetCell> ReadSheetCells(const QByteArray &xml)
{
    std::map<QString, SheetCell> cells;
    QXmlStreamReader reader(xml);
    QString reference;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement())
            continue;
        if (reader.name() == u"c") {
            reference = reader.attributes().value("r").toString();
            cells[reference].style = reader.attributes().value("s").toInt();
        } else if (reader.name() == u"t" || reader.name() == u"v") {
            cells[reference].text = reader.readElementText();
        }
    }
    return cells;
}

// The number format of a cell style: styles.xml lists the styles (cellXfs) with their format's
// id, and the formats of the workbook's own (numFmts) with their codes.
QString FormatCode(const QByteArray &styles, int style)
{
    QXmlStreamReader reader(styles);
    std::map<QString, QString> codes;
    QStringList styleFormats;
    bool inCellStyles = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isEndElement() && reader.name() == u"cellXfs")
            inCellStyles = false;
        if (!reader.isStartElement())
            continue;
        if (reader.name() == u"numFmt")
            codes[reader.attributes().value("numFmtId").toString()]
                = reader.attributes().value("formatCode").toString();
        else if (reader.name() == u"cellXfs")
            inCellStyles = true;
        else if (inCellStyles && reader.name() == u"xf")
            styleFormats << reader.attributes().value("numFmtId").toString();
    }
    return style < styleFormats.size() ? codes[styleFormats[style]] : QString();
}

class GridExportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        table.AddField("cName", FieldType::String, 50);
        table.AddField("nTotal", FieldType::Float);
        table.AddField("iCount", FieldType::Integer);
        table.AddField("dtPay", FieldType::DateTime);
        table.AddField("bActive", FieldType::Boolean);
        ASSERT_TRUE(table.CreateTable());
        AddRow(
            table, { "Smith, J", 1234.5, 3, QDateTime(QDate(2024, 1, 31), QTime(14, 30)), true });
        AddRow(table,
            { "O\"Brien\nline 2", QVariant(), -7, QDateTime(QDate(2024, 2, 29), QTime(0, 0)),
                false });
        AddRow(table, { "<b>&", 1e20, QVariant(), QVariant(), QVariant() });
    }

    bool write(GridExportFormat format, const QString &name, GridExportOptions options = {})
    {
        error.clear();
        return GridExport::Write(table, columns, format, dir.filePath(name), options, error);
    }

    QByteArray read(const QString &name) { return ReadFile(dir.filePath(name)); }

    QTemporaryDir dir;
    TQuillonTempTable table;
    std::vector<GridExportColumn> columns { { "cName", "Name" }, { "nTotal", "Total" },
        { "iCount", "Count" }, { "dtPay", "Paid" }, { "bActive", "Active" } };
    QString error;
};

TEST_F(GridExportTest, CsvQuotesOnlyWhatNeedsItAndWritesTheRowsAsked)
{
    ASSERT_TRUE(write(GridExportFormat::Csv, "all.csv")) << error.toStdString();
    EXPECT_EQ(read("all.csv"),
        "Name,Total,Count,Paid,Active\r\n"
        "\"Smith, J\",1234.5,3,2024-01-31 14:30:00,True\r\n"
        "\"O\"\"Brien\nline 2\",,-7,2024-02-29,False\r\n"
        "<b>&,1e+20,,,\r\n");

    ASSERT_TRUE(table.SetFilter("iCount < 0"));
    GridExportOptions noCaptions;
    noCaptions.captions = false;
    ASSERT_TRUE(write(GridExportFormat::Csv, "filtered.csv", noCaptions));
    EXPECT_EQ(read("filtered.csv"), "\"O\"\"Brien\nline 2\",,-7,2024-02-29,False\r\n");

    // Rows given by the grid (its sort order) win over the filter's record order.
    GridExportOptions sorted;
    sorted.rows = std::vector<int> { 2, 0 };
    columns = { { "iCount", "Count" }, { "cName", "Name" } };
    ASSERT_TRUE(write(GridExportFormat::Csv, "sorted.csv", sorted));
    EXPECT_EQ(read("sorted.csv"), "Count,Name\r\n,<b>&\r\n3,\"Smith, J\"\r\n");
}

TEST_F(GridExportTest, TsvJsonAndHtmlKeepKindsAndEscapeText)
{
    ASSERT_TRUE(write(GridExportFormat::Tsv, "a.tsv"));
    EXPECT_EQ(read("a.tsv"),
        "Name\tTotal\tCount\tPaid\tActive\n"
        "Smith, J\t1234.5\t3\t2024-01-31 14:30:00\tTrue\n"
        "\"O\"\"Brien\nline 2\"\t\t-7\t2024-02-29\tFalse\n"
        "<b>&\t1e+20\t\t\t\n");

    ASSERT_TRUE(write(GridExportFormat::Json, "a.json"));
    EXPECT_EQ(read("a.json"),
        "[\n"
        "{\"Name\":\"Smith, J\",\"Total\":1234.5,\"Count\":3,\"Paid\":\"2024-01-31T14:30:00\","
        "\"Active\":true},\n"
        "{\"Name\":\"O\\\"Brien\\nline 2\",\"Total\":null,\"Count\":-7,"
        "\"Paid\":\"2024-02-29\",\"Active\":false},\n"
        "{\"Name\":\"<b>&\",\"Total\":1e+20,\"Count\":null,\"Paid\":null,\"Active\":null}\n"
        "]\n");

    ASSERT_TRUE(table.SetFilter("cName = 'nobody'"));
    ASSERT_TRUE(write(GridExportFormat::Json, "empty.json"));
    EXPECT_EQ(read("empty.json"), "[\n]\n");
    ASSERT_TRUE(table.SetFilter(""));

    GridExportOptions titled;
    titled.title = "Pay <Q1> & more";
    ASSERT_TRUE(write(GridExportFormat::Html, "a.html", titled));
    const QByteArray html = read("a.html");
    EXPECT_TRUE(html.contains("<caption>Pay &lt;Q1&gt; &amp; more</caption>")) << html.data();
    EXPECT_TRUE(html.contains("<tr><th>Name</th><th>Total</th><th>Count</th><th>Paid</th>"
                              "<th>Active</th></tr>"));
    EXPECT_TRUE(html.contains("<tr><td>&lt;b&gt;&amp;</td><td class=\"n\">1e+20</td>"
                              "<td></td><td></td><td></td></tr>"));
    EXPECT_TRUE(html.contains("<meta charset=\"utf-8\">"));
}

TEST_F(GridExportTest, XlsxWritesNumbersDatesAndABoldHeaderOnANamedSheet)
{
    GridExportOptions options;
    options.title = "Pay/Run: Q1";
    ASSERT_TRUE(write(GridExportFormat::Xlsx, "a.xlsx", options)) << error.toStdString();
    const auto entries = ReadZipEntries(dir.filePath("a.xlsx"));
    ASSERT_TRUE(entries.count("xl/workbook.xml"));
    ASSERT_TRUE(entries.count("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(entries.at("xl/workbook.xml").contains("name=\"Pay_Run_ Q1\""));
    const QByteArray sheet = entries.at("xl/worksheets/sheet1.xml");
    SCOPED_TRACE(sheet.toStdString());
    // Header cells carry a (bold) style; plain numbers none; the date a date format.
    EXPECT_TRUE(sheet.contains("<c r=\"A1\" s=\"1\" t=\"inlineStr\"><is><t>Name</t></is></c>"));
    EXPECT_TRUE(sheet.contains("<c r=\"B2\"><v>1234.5</v></c>"));
    EXPECT_TRUE(sheet.contains("<c r=\"C3\"><v>-7</v></c>"));
    EXPECT_TRUE(sheet.contains("<c r=\"D2\" s=\"2\"><v>45322.60416666666"));
    EXPECT_TRUE(sheet.contains("<c r=\"E2\" t=\"b\"><v>1</v></c>"));
    EXPECT_TRUE(sheet.contains("<c r=\"A4\" t=\"inlineStr\"><is><t>&lt;b&gt;&amp;</t></is></c>"));
    EXPECT_FALSE(sheet.contains("r=\"C4\"")); // NULL leaves the cell empty
    const QByteArray styles = entries.at("xl/styles.xml");
    EXPECT_TRUE(styles.contains("<b/>"));
    EXPECT_TRUE(styles.contains("formatCode=\"yyyy-mm-dd hh:mm:ss\""));
    // Only the finished file is left behind.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "a.xlsx" });
}

TEST_F(GridExportTest, FailureLeavesTheTargetAsItWas)
{
    for (const GridExportFormat format : { GridExportFormat::Csv, GridExportFormat::Xlsx }) {
        SCOPED_TRACE(GridExport::Suffix(format).toStdString());
        const QString name = "old." + GridExport::Suffix(format);
        ASSERT_TRUE(WriteFile(dir.filePath(name), "old"));
        columns.push_back({ "nope", "Nope" });
        EXPECT_FALSE(write(format, name));
        EXPECT_EQ(error, "The result has no field \"nope\".");
        EXPECT_EQ(read(name), "old");
        columns.pop_back();

        EXPECT_FALSE(write(format, "missing/folder/x." + GridExport::Suffix(format)));
        EXPECT_TRUE(error.startsWith("Cannot write")) << error.toStdString();
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
        (QStringList { "old.csv", "old.xlsx" }));

    table.Close();
    EXPECT_FALSE(write(GridExportFormat::Csv, "closed.csv"));
    EXPECT_EQ(error, "There is no result to save.");
}

// A file size limit stands in for a disk that fills up: the error gives the system's reason (no
// "Unknown error"), and the old file stays whole.
TEST_F(GridExportTest, FailedWriteSaysWhyAndKeepsTheOldFile)
{
    const QByteArray old(200, 'x');
    for (const GridExportFormat format : { GridExportFormat::Csv, GridExportFormat::Json }) {
        const QString name = "old." + GridExport::Suffix(format);
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(WriteFile(dir.filePath(name), old));
        rlimit saved {};
        ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
        rlimit small = saved;
        small.rlim_cur = 64; // fewer bytes than any of the formats needs
        const auto previous = std::signal(SIGXFSZ, SIG_IGN);
        ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
        const bool written = write(format, name);
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
        EXPECT_FALSE(written);
        EXPECT_EQ(error, "Cannot write \"" + dir.filePath(name) + "\": File too large");
        EXPECT_EQ(read(name), old);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
        (QStringList { "old.csv", "old.json" }));
}

TEST_F(GridExportTest, TextFormatsReadBackAsTheCellsWritten)
{
    TQuillonTempTable cells;
    cells.AddField("cText", FieldType::Memo);
    cells.AddField("dDay", FieldType::Date);
    cells.AddField("dtAt", FieldType::DateTime);
    ASSERT_TRUE(cells.CreateTable());
    AddRow(cells, { "tab\there", QDate(2024, 1, 31), QDateTime(QDate(2024, 1, 31), QTime(0, 0)) });
    AddRow(
        cells, { "say \"hi\"", QDate(2024, 2, 29), QDateTime(QDate(2024, 2, 29), QTime(8, 5, 9)) });
    AddRow(cells, { "two\nlines\r\nand, \"more\"\t", QVariant(), QVariant() });
    columns = { { "cText", "Text\t\"1\"" }, { "dDay", "Day" }, { "dtAt", "At" } };
    // Dates without a time of day are written as dates alone, value by value.
    const auto expected = [](char separator) {
        return Rows { { "Text\t\"1\"", "Day", "At" }, { "tab\there", "2024-01-31", "2024-01-31" },
            { "say \"hi\"", "2024-02-29", std::string("2024-02-29") + separator + "08:05:09" },
            { "two\nlines\r\nand, \"more\"\t", "", "" } };
    };
    const struct
    {
        GridExportFormat format;
        std::function<Rows(const QByteArray &)> reader;
        char separator; // between date and time
    } rows[] = {
        { GridExportFormat::Csv, [](const QByteArray &b) { return ReadDelimited(b, ','); }, ' ' },
        { GridExportFormat::Tsv, [](const QByteArray &b) { return ReadDelimited(b, '\t'); }, ' ' },
        { GridExportFormat::Json,
            [](const QByteArray &bytes) {
                Rows read { { "Text\t\"1\"", "Day", "At" } };
                for (const QJsonValue row : QJsonDocument::fromJson(bytes).array()) {
                    read.emplace_back();
                    for (const std::string &key : read.front())
                        read.back().push_back(row.toObject()
                                                  .value(QString::fromStdString(key))
                                                  .toString()
                                                  .toStdString());
                }
                return read;
            },
            'T' },
    };
    for (const auto &row : rows) {
        const QString name = "cells." + GridExport::Suffix(row.format);
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(GridExport::Write(cells, columns, row.format, dir.filePath(name), {}, error))
            << error.toStdString();
        EXPECT_EQ(row.reader(read(name)), expected(row.separator));
    }
}

TEST_F(GridExportTest, XlsxChangesNothingInSilence)
{
    TQuillonTempTable cells;
    cells.AddField("iId", FieldType::Integer);
    cells.AddField("cText", FieldType::Memo);
    cells.AddField("dtAt", FieldType::DateTime);
    ASSERT_TRUE(cells.CreateTable());
    AddRow(cells,
        { qint64(9007199254740993), QString(100000, 'x'),
            QDateTime(QDate(2024, 1, 31), QTime(0, 0)) });
    AddRow(cells,
        { qint64(-9007199254740992), "short", QDateTime(QDate(2024, 1, 31), QTime(14, 30)) });
    AddRow(cells, { 42, QString(40000, QChar(0x20AC)), QVariant() });
    columns = { { "iId", "Id" }, { "cText", "Text" }, { "dtAt", "At" } };
    GridExportOptions options;
    options.title = "Pay";
    options.sheetRows = 3; // the header and two rows, as a sheet of a million would be
    GridExportReport report;
    ASSERT_TRUE(GridExport::Write(
        cells, columns, GridExportFormat::Xlsx, dir.filePath("a.xlsx"), options, error, &report))
        << error.toStdString();
    EXPECT_EQ(report.Warning(),
        "2 cells held more than the 32,767 characters an Excel cell holds: their texts were cut "
        "to fit. There were more rows than an Excel sheet holds (2 a sheet): they continue on "
        "further sheets, 2 in all.");

    const auto entries = ReadZipEntries(dir.filePath("a.xlsx"));
    ASSERT_TRUE(entries.count("xl/worksheets/sheet2.xml"));
    EXPECT_TRUE(entries.at("xl/workbook.xml").contains("name=\"Pay (2)\""));
    const auto first = ReadSheetCells(entries.at("xl/worksheets/sheet1.xml"));
    const auto second = ReadSheetCells(entries.at("xl/worksheets/sheet2.xml"));
    const QByteArray &styles = entries.at("xl/styles.xml");
    const struct
    {
        const std::map<QString, SheetCell> &sheet;
        const char *cell;
        QString text;
        QString format;
    } rows[] = {
        { first, "A1", "Id", "" },
        { first, "A2", "9007199254740993", "" }, // as text: a number cell would round it
        { first, "A3", "-9007199254740992", "" },
        { first, "B2", QString(32767, 'x'), "" },
        { first, "C2", "45322", "yyyy-mm-dd" },
        { first, "C3", "45322.60416666666", "yyyy-mm-dd hh:mm:ss" },
        { second, "A1", "Id", "" }, // the header again
        { second, "A2", "42", "" },
        { second, "B2", QString(32767, QChar(0x20AC)), "" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.cell);
        ASSERT_TRUE(row.sheet.count(row.cell));
        const SheetCell &cell = row.sheet.at(row.cell);
        EXPECT_EQ(cell.text, row.text);
        EXPECT_EQ(FormatCode(styles, cell.style), row.format);
    }
    EXPECT_FALSE(second.count("A3"));
}

TEST_F(GridExportTest, NewFilesFollowTheUmaskAndOldOnesKeepTheirMode)
{
    const struct
    {
        GridExportFormat format;
        mode_t mask;
    } rows[] = {
        { GridExportFormat::Json, 077 },
        { GridExportFormat::Xlsx, 027 },
    };
    const auto mode = [this](const QString &name) {
        struct stat status = {};
        return ::stat(dir.filePath(name).toUtf8().constData(), &status) == 0
            ? status.st_mode & 07777
            : mode_t(-1);
    };
    for (const auto &row : rows) {
        const QString name = QString("new%1.").arg(row.mask) + GridExport::Suffix(row.format);
        SCOPED_TRACE(name.toStdString());
        const mode_t saved = ::umask(row.mask);
        const bool written = write(row.format, name);
        ::umask(saved);
        ASSERT_TRUE(written) << error.toStdString();
        EXPECT_EQ(mode(name), 0666 & ~row.mask);
        ASSERT_EQ(::chmod(dir.filePath(name).toUtf8().constData(), 0604), 0);
        ASSERT_TRUE(write(row.format, name));
        EXPECT_EQ(mode(name), mode_t(0604));
    }
}

TEST(GridExportFormats, NamesAndSuffixes)
{
    EXPECT_EQ(GridExport::FormatFromName("CSV"), GridExportFormat::Csv);
    EXPECT_EQ(GridExport::FormatFromName(" tsv "), GridExportFormat::Tsv);
    EXPECT_EQ(GridExport::FormatFromName("Json"), GridExportFormat::Json);
    EXPECT_EQ(GridExport::FormatFromName("htm"), GridExportFormat::Html);
    EXPECT_EQ(GridExport::FormatFromName("xls"), std::nullopt);
    EXPECT_EQ(GridExport::FormatFromFileName("/tmp/a.b/Report.XLSX"), GridExportFormat::Xlsx);
    EXPECT_EQ(GridExport::FormatFromFileName("/tmp/a.csv/Report"), std::nullopt);
}

} // namespace
