#include "host/db/engine/ConnectionName.h"
#include "PostgresServer.h"
#include "host/db/engine/OdbcConnection.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ConnectionName, OdbcPrefixChoosesTheServerAndAnEmptyOneIsRefused)
{
    QTemporaryDir dir;
    DbError error;
    const std::string file = (dir.path() + "/odbc:like.db").toStdString();
    auto local = ConnectionName::open(file, SqliteConnection::OpenMode::ReadWriteCreate, error);
    ASSERT_TRUE(local) << error.text; // a path that merely contains the prefix is a file
    EXPECT_EQ(local->engineName(), "SQLite");

    for (const char *empty : { "odbc:", "ODBC:  " }) {
        EXPECT_FALSE(ConnectionName::open(empty, SqliteConnection::OpenMode::ReadWrite, error));
        EXPECT_EQ(error.text,
            "The ODBC connection is empty: give a DSN (odbc:DSN=name) or a connection string "
            "after \"odbc:\".");
    }
    // A bare name is a DSN; this one is not configured.
    EXPECT_FALSE(
        ConnectionName::open("odbc:qp_no_such_dsn", SqliteConnection::OpenMode::ReadWrite, error));
    EXPECT_TRUE(error.text.starts_with("Cannot connect through ODBC: ")) << error.text;

    QString problem;
    PostgresServer *server = PostgresServer::instance(problem);
    ASSERT_TRUE(server) << problem.toStdString();
    auto remote = ConnectionName::open("odbc:" + server->connectionString("postgres"),
        SqliteConnection::OpenMode::ReadWrite, error);
    ASSERT_TRUE(remote) << error.text;
    EXPECT_EQ(remote->engineName(), "ODBC");
    EXPECT_EQ(
        static_cast<OdbcConnection &>(*remote).dialect(), OdbcConnection::Dialect::PostgreSql);
}
