#pragma once

#include "host/db/dataset/TQuillonDataSet.h"
#include "host/db/engine/SqliteConnection.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A fresh SQLite file in its own temporary folder.
class DbTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        db = openFile("main.db");
        ASSERT_TRUE(db);
    }

    std::string path(const char *name) const { return (m_dir.path() + "/" + name).toStdString(); }

    std::unique_ptr<SqliteConnection> openFile(const char *name)
    {
        DbError error;
        auto connection = SqliteConnection::open(
            path(name), SqliteConnection::OpenMode::ReadWriteCreate, error);
        EXPECT_TRUE(connection) << error.text;
        return connection;
    }

    void exec(const std::string &sql)
    {
        ASSERT_TRUE(db->execute(sql)) << sql << ": " << db->lastError().text;
    }

    long long scalar(const std::string &sql)
    {
        auto statement = db->prepare(sql);
        EXPECT_TRUE(statement) << db->lastError().text;
        if (!statement || statement->step() != Statement::Step::Row)
            return -1;
        return statement->asInt64(0);
    }

    std::string text(const std::string &sql)
    {
        auto statement = db->prepare(sql);
        EXPECT_TRUE(statement) << db->lastError().text;
        if (!statement || statement->step() != Statement::Step::Row)
            return "<no row>";
        return statement->isNull(0) ? "<null>" : std::string(statement->asText(0));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<SqliteConnection> db;
};

// The values of one field over the data set's records, as text ("<null>" for NULL).
inline std::vector<std::string> columnTexts(const TQuillonDataSet &set, const QString &field)
{
    std::vector<std::string> out;
    const int index = set.FieldIndex(field);
    for (int record = 0; record < set.RecordCount(); ++record) {
        const int row = set.RowOfRecord(record);
        out.push_back(set.IsNullAt(row, index) ? "<null>" : set.TextAt(row, index).toStdString());
    }
    return out;
}
