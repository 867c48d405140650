#pragma once

#include "host/db/engine/SqliteConnection.h"
#include "store/Databases.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A fresh pair of databases in a temporary folder for each test.
class StoreTest : public ::testing::Test
{
protected:
    void SetUp() override;

    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString dirPath() const { return m_dir.path(); }
    QString payrollPath() const { return path(QStringLiteral("payroll.db")); }
    QString commonPath() const { return path(QStringLiteral("common.db")); }
    // Opens (creating) both databases into `db`; fails the test when that does not work.
    void openDatabases();

    HostDatabases db;

private:
    QTemporaryDir m_dir;
};

// Every row of a query, cells as text ("NULL" for null) joined by "|".
std::vector<std::string> Rows(Connection &connection, const std::string &sql);
std::string Scalar(Connection &connection, const std::string &sql);
long long Count(Connection &connection, const std::string &table);
void Exec(Connection &connection, const std::string &sql);
QByteArray FileBytes(const QString &path);
