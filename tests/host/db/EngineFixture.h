#pragma once

#include "PostgresServer.h"
#include "host/db/engine/OdbcConnection.h"
#include "host/db/engine/SqliteConnection.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>

// The engines one data-layer test runs against: the embedded SQLite, SQLite through its ODBC
// driver, and PostgreSQL 15 through its ODBC driver (a server of the test process's own).
enum class Engine { Sqlite, SqliteOdbc, PostgresOdbc };

inline std::string engineLabel(const ::testing::TestParamInfo<Engine> &info)
{
    switch (info.param) {
    case Engine::Sqlite:
        return "Sqlite";
    case Engine::SqliteOdbc:
        return "SqliteOdbc";
    case Engine::PostgresOdbc:
        return "PostgresOdbc";
    }
    return "Unknown";
}

// A fresh, empty database on the test's engine.
class EngineTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        db = open();
        ASSERT_TRUE(db);
    }

    // Another connection to the same database.
    std::unique_ptr<Connection> open()
    {
        DbError error;
        std::unique_ptr<Connection> connection;
        const std::string file = (m_dir.path() + "/main.db").toStdString();
        switch (GetParam()) {
        case Engine::Sqlite:
            connection
                = SqliteConnection::open(file, SqliteConnection::OpenMode::ReadWriteCreate, error);
            break;
        case Engine::SqliteOdbc:
            connection = OdbcConnection::open("DRIVER={SQLite3};DATABASE=" + file + ";", error);
            break;
        case Engine::PostgresOdbc: {
            QString problem;
            PostgresServer *server = PostgresServer::instance(problem);
            EXPECT_TRUE(server) << problem.toStdString();
            if (!server)
                return nullptr;
            if (m_database.empty() && !server->createDatabase(m_database, problem)) {
                ADD_FAILURE() << problem.toStdString();
                return nullptr;
            }
            connection = OdbcConnection::open(server->connectionString(m_database), error);
            break;
        }
        }
        EXPECT_TRUE(connection) << error.text;
        return connection;
    }

    bool postgres() const { return GetParam() == Engine::PostgresOdbc; }
    // Column types that differ between the engines.
    std::string identityKey() const
    {
        return postgres() ? "SERIAL PRIMARY KEY" : "INTEGER PRIMARY KEY";
    }
    std::string dateTimeType() const { return postgres() ? "TIMESTAMP" : "DATETIME"; }
    std::string bytesType() const { return postgres() ? "BYTEA" : "BLOB"; }
    // A statement that would run for minutes.
    std::string slowStatement() const
    {
        return postgres() ? "select pg_sleep(600) as slept, 1 as one"
                          : "with recursive n(i) as (select 1 union all select i + 1 from n) "
                            "select count(*) as slept, 1 as one from n";
    }

    void exec(const std::string &sql)
    {
        ASSERT_TRUE(db->execute(sql)) << sql << ": " << db->lastError().text;
    }
    std::string text(const std::string &sql, std::initializer_list<Value> values = {})
    {
        std::string out = "<no row>";
        DbError error;
        EXPECT_TRUE(db->forEachRow(
            sql, values,
            [&](const Statement &row) {
                out = row.isNull(0) ? "<null>" : std::string(row.asText(0));
                return false;
            },
            error))
            << sql << ": " << error.text;
        return out;
    }

    QTemporaryDir m_dir;
    std::string m_database;
    std::unique_ptr<Connection> db;
};
