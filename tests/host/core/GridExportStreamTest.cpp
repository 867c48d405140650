#include "FileBytes.h"
#include "TableRows.h"
#include "ZipEntries.h"

#include "host/core/ExportFile.h"
#include "host/core/GridExport.h"
#include "host/core/GridExportStream.h"
#include "host/db/engine/SqliteConnection.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The command-line tool writes a statement's rows as they are read, the window the rows of the
// opened result: the same statement must come out the same, whatever its values.
TEST(GridExportStreamTest, WritesWhatTheOpenedResultWrites)
{
    QTemporaryDir dir;
    DbError dbError;
    auto db = SqliteConnection::open(
        dir.filePath("t.db").toStdString(), SqliteConnection::OpenMode::ReadWriteCreate, dbError);
    ASSERT_TRUE(db) << dbError.text;
    ASSERT_TRUE(db->execute(
        "CREATE TABLE t(i INT, r REAL, c VARCHAR(20), d DATE, dt DATETIME, tm TIME, b BIT, x BLOB);"
        "INSERT INTO t VALUES (9007199254740993, 0.1, 'a,\"b\"', '2024-01-31', "
        "'2024-01-31 00:00:00', '08:30:00', 1, x'00ff');"
        "INSERT INTO t VALUES (-7, 1e20, 'tab\there', '2024-02-29 00:00:00', "
        "'2024-02-29 14:30:05.250', '23:59:59', 0, NULL);"
        "INSERT INTO t VALUES (NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL);"
        "INSERT INTO t VALUES (3, -2.5, 'x', NULL, '1899-12-31 00:00:00', NULL, '1', '');"))
        << db->lastError().text;
    // Expressions have no declared type; a name given twice is told apart.
    const QString sql = "select t.*, c, dt || '' as dtText, i * 2 as twice from t";

    TQuillonADOQuery opened;
    OpenQuery(opened, *db, sql);
    std::vector<GridExportColumn> all;
    for (int i = 0; i < opened.FieldCount(); ++i)
        all.push_back({ opened.FieldName(i), opened.FieldName(i) });
    ASSERT_EQ(all.size(), 11u);
    EXPECT_EQ(all[8].fieldName, "c_1");

    for (const GridExportFormat format : { GridExportFormat::Csv, GridExportFormat::Tsv,
             GridExportFormat::Json, GridExportFormat::Html, GridExportFormat::Xlsx }) {
        const QString suffix = GridExport::Suffix(format);
        SCOPED_TRACE(suffix.toStdString());
        QString error;
        ASSERT_TRUE(
            GridExport::Write(opened, all, format, dir.filePath("opened." + suffix), {}, error))
            << error.toStdString();

        ExportFile file(dir.filePath("streamed." + suffix));
        GridExportStream stream(format, file, {}, GridExportStream::EveryField());
        TQuillonADOQuery query;
        query.SetConnection(db.get());
        query.SetSQL(sql);
        ASSERT_TRUE(query.Stream(stream)) << query.LastErrorText().toStdString();
        ASSERT_TRUE(stream.Finish(error)) << error.toStdString();
        EXPECT_EQ(stream.Report().rows, 4);

        if (format == GridExportFormat::Xlsx) { // the workbooks differ in their time of making
            const char *sheet = "xl/worksheets/sheet1.xml";
            EXPECT_EQ(ReadZipEntries(dir.filePath("streamed.xlsx")).at(sheet),
                ReadZipEntries(dir.filePath("opened.xlsx")).at(sheet));
            continue;
        }
        const QByteArray written = ReadFile(dir.filePath("opened." + suffix));
        ASSERT_FALSE(written.isEmpty());
        EXPECT_EQ(
            ReadFile(dir.filePath("streamed." + suffix)).toStdString(), written.toStdString());
    }
}

} // namespace
