#include "TableRows.h"
#include "ZipEntries.h"

#include "host/core/GridExport.h"
#include "host/db/dataset/TQuillonTempTable.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace {

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

    QByteArray read(const QString &name)
    {
        QFile file(dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

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
        {
            QFile old(dir.filePath(name));
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("old");
        }
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
        {
            QFile file(dir.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(old);
        }
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
