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

// The report connection signs in as another login: a UID or PWD left over from the main login
// (under any spelling, or with ";" inside braces) would sign in as the main login again, and a
// password shown in a message or a window title is a leaked password.
TEST(ConnectionName, AnotherLoginReplacesEveryUserAndPasswordAndShownNamesHideThePassword)
{
    const struct
    {
        const char *name;
        const char *login;
        const char *shown;
    } rows[] = {
        { "odbc:DRIVER={PostgreSQL Unicode};UID=owner;PWD={se;c}}ret};DATABASE=p",
            "odbc:DRIVER={PostgreSQL Unicode};DATABASE=p;UID=rep;PWD={p;w}}d};",
            "odbc:DRIVER={PostgreSQL Unicode};UID=owner;PWD=***;DATABASE=p" },
        { "odbc:payroll;", "odbc:DSN=payroll;UID=rep;PWD={p;w}}d};", "odbc:payroll;" },
        { "odbc:DSN=x; user = owner ;Password=pw", "odbc:DSN=x;UID=rep;PWD={p;w}}d};",
            "odbc:DSN=x; user = owner ;Password=***" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ConnectionName::withLogin(row.name, "rep", "p;w}d"), row.login);
        EXPECT_EQ(ConnectionName::displayName(row.name), row.shown);
    }
    EXPECT_EQ(
        ConnectionName::withLogin("odbc:DSN=x;UID=a", "rep", "pw"), "odbc:DSN=x;UID=rep;PWD=pw;");
    EXPECT_EQ(ConnectionName::displayName("/tmp/pwd=x.db"), "/tmp/pwd=x.db");
}
