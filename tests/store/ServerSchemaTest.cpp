#include "PostgresServer.h"
#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/db/engine/NameFold.h"
#include "host/db/engine/OdbcConnection.h"
#include "host/db/engine/SqliteConnection.h"
#include "store/ServerSchema.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// The schema on the test process's own PostgreSQL, in a new database per test.
class ServerSchemaTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString problem;
        server = PostgresServer::instance(problem);
        ASSERT_TRUE(server) << problem.toStdString();
        ASSERT_TRUE(server->createDatabase(database, problem)) << problem.toStdString();
        pg = connect("qp");
        ASSERT_TRUE(pg);
    }

    std::unique_ptr<OdbcConnection> connect(const std::string &user)
    {
        std::string text = server->connectionString(database);
        text.replace(text.find("UID=qp;"), 7, "UID=" + user + ";");
        DbError error;
        auto connection = OdbcConnection::open(text, error);
        EXPECT_TRUE(connection) << error.text;
        return connection;
    }

    bool create(DatabaseKind kind, const QString &role = QStringLiteral("qp_report"))
    {
        return (role != QStringLiteral("qp_report") || CreateReportRole(*pg, role, error))
            && CreateServerSchema(*pg, kind, role, error);
    }

    // The type classes both engines must agree on: bits are numbers on the server, and the
    // width of a character does not count.
    static FieldType typeClass(FieldType type)
    {
        switch (type) {
        case FieldType::Boolean:
            return FieldType::Integer;
        case FieldType::WideString:
            return FieldType::String;
        default:
            return type;
        }
    }

    // Every table and view of an embedded database has its twin in dbo, column for column.
    void expectSameTables(Connection &embedded, std::set<std::string> &seen)
    {
        const QStringList names = TestDatabases::rows(embedded,
            "SELECT name FROM sqlite_master WHERE type IN ('table', 'view') AND name NOT LIKE "
            "'sqlite_%' ORDER BY name");
        ASSERT_FALSE(names.isEmpty());
        for (const QString &name : names) {
            SCOPED_TRACE(name.toStdString());
            seen.insert(NameFold::fold(name.toStdString()));
            const std::vector<ColumnInfo> ours = embedded.tableColumns(name.toStdString());
            const std::vector<ColumnInfo> theirs
                = pg->tableColumns("dbo." + NameFold::fold(name.toStdString()));
            ASSERT_EQ(theirs.size(), ours.size()) << pg->lastError().text;
            for (std::size_t i = 0; i < ours.size(); ++i) {
                SCOPED_TRACE(ours[i].name);
                EXPECT_TRUE(NameFold::same(ours[i].name, theirs[i].name)) << theirs[i].name;
                // A view's computed column has no declared type on SQLite.
                if (ours[i].type != FieldType::Other) {
                    EXPECT_EQ(typeClass(theirs[i].type), typeClass(ours[i].type))
                        << ours[i].declaredType << " / " << theirs[i].declaredType;
                }
            }
        }
    }

    PostgresServer *server = nullptr;
    std::string database;
    std::unique_ptr<OdbcConnection> pg;
    QString error;
};

} // namespace

TEST_F(ServerSchemaTest, EveryTableViewAndColumnMatchesTheEmbeddedSchema)
{
    // Payroll and common may share a database.
    ASSERT_TRUE(create(DatabaseKind::Payroll)) << error.toStdString();
    ASSERT_TRUE(create(DatabaseKind::Common)) << error.toStdString();

    TestDatabases embedded;
    DbError openError;
    auto credentials
        = SqliteConnection::open(embedded.path(QStringLiteral("payroll.agents.db")).toStdString(),
            SqliteConnection::OpenMode::ReadOnly, openError);
    ASSERT_TRUE(credentials) << openError.text;
    std::set<std::string> seen;
    expectSameTables(embedded.payroll(), seen);
    expectSameTables(embedded.common(), seen);
    expectSameTables(*credentials, seen);

    // Nothing on the server that the files do not have, but the version table.
    const QStringList serverTables = TestDatabases::rows(*pg,
        "SELECT table_name FROM information_schema.tables WHERE table_schema = 'dbo' AND "
        "table_name <> '_btblschemaversion' ORDER BY table_name");
    std::set<std::string> onServer;
    for (const QString &name : serverTables)
        onServer.insert(name.toStdString());
    EXPECT_EQ(onServer, seen);
    EXPECT_EQ(TestDatabases::rows(*pg,
                  "SELECT cDatabase, iVersion FROM _btblSchemaVersion ORDER "
                  "BY 1"),
        QStringList({ QStringLiteral("common|%1").arg(CurrentSchemaVersion(DatabaseKind::Common)),
            QStringLiteral("payroll|%1").arg(CurrentSchemaVersion(DatabaseKind::Payroll)) }));
}

TEST_F(ServerSchemaTest, RefusesASecondSchemaOrABadRoleAndChangesNothing)
{
    ASSERT_TRUE(create(DatabaseKind::Payroll)) << error.toStdString();
    TestDatabases::exec(*pg, "INSERT INTO dbo._iptblEasyEnquiry (cCode) VALUES ('KEEP')");

    EXPECT_FALSE(create(DatabaseKind::Payroll));
    EXPECT_EQ(error,
        QStringLiteral("The server database already holds a payroll schema (version %1); it was "
                       "left unchanged.")
            .arg(CurrentSchemaVersion(DatabaseKind::Payroll)));
    EXPECT_FALSE(create(DatabaseKind::Common, QStringLiteral("Report; DROP SCHEMA dbo")));
    EXPECT_EQ(error,
        QStringLiteral("The report role \"Report; DROP SCHEMA dbo\" must be a lower-case name of "
                       "letters, digits and \"_\"."));
    EXPECT_EQ(
        TestDatabases::rows(*pg, "SELECT cCode FROM _iptblEasyEnquiry"), QStringList { "KEEP" });
    EXPECT_EQ(TestDatabases::count(*pg,
                  "SELECT count(*) FROM information_schema.tables WHERE table_name = "
                  "'_btblsystemvalues'"),
        0);
}

TEST_F(ServerSchemaTest, ReportRoleReadsButCannotWriteOrReachTheHashes)
{
    ASSERT_TRUE(create(DatabaseKind::Payroll)) << error.toStdString();
    TestDatabases::exec(*pg, R"sql(
INSERT INTO _iptblPayerGroups (idPayer, cCode, cPayerName) VALUES (1, 'A', 'Alpha'), (2, 'B', 'Beta'), (3, 'C', 'Gamma');
INSERT INTO _rtblAgents (idAgents, cAgentName, bAllPayrollCompanies) VALUES (1, 'admin', 1), (2, 'clerk', 0);
INSERT INTO _rtblAgentPayerGroups (iAgentID, iPayerID) VALUES (2, 3), (2, 1);
INSERT INTO _rtblAgentCredentials (iAgentID, cPasswordHash) VALUES (1, 'hash');
INSERT INTO _iptblEasyEnquiry (cCode, cDescription) VALUES ('IQ1', 'One');
)sql");
    auto report = connect("qp_report");
    ASSERT_TRUE(report);

    // IQ statements as written for SQL Server.
    EXPECT_EQ(TestDatabases::rows(
                  *report, "SELECT [cCode], cDatabase FROM [dbo].[_ipvEasyEnquiry] ORDER BY cCode"),
        QStringList { "IQ1|Payroll Database" });
    EXPECT_EQ(TestDatabases::rows(*report, "SELECT idPayer FROM dbo._efnAgentPCSecurity(2)"),
        QStringList({ "1", "3" }));
    EXPECT_EQ(TestDatabases::rows(*report, "SELECT idPayer FROM _efnAgentPCSecurity(1)"),
        QStringList({ "1", "2", "3" }));

    const struct
    {
        const char *sql;
        const char *sqlState;
    } refused[] = {
        { "SELECT cPasswordHash FROM dbo._rtblAgentCredentials", "42501" },
        // Refused by the read-only transaction before the grants are even asked (42501).
        { "UPDATE _iptblEasyEnquiry SET cDescription = 'changed'", "25006" },
        { "CALL dbo._ipspDeleteEasyEnquiry(1)", "42501" },
    };
    for (const auto &row : refused) {
        SCOPED_TRACE(row.sql);
        DbError failure;
        EXPECT_FALSE(report->run(row.sql, {}, failure));
        EXPECT_EQ(failure.sqlState, row.sqlState) << failure.text;
    }
    EXPECT_EQ(TestDatabases::rows(*pg, "SELECT cDescription FROM _iptblEasyEnquiry"),
        QStringList { "One" });
}

TEST_F(ServerSchemaTest, DeleteProcedureTakesTheEnquiryWithItsRowsAndNothingElse)
{
    ASSERT_TRUE(create(DatabaseKind::Payroll)) << error.toStdString();
    TestDatabases::exec(*pg, kTwoEnquiriesWithRows);
    TestDatabases::exec(*pg, "CALL _ipspDeleteEasyEnquiry(1)");
    EXPECT_EQ(
        TestDatabases::rows(*pg, "SELECT cCode FROM _iptblEasyEnquiry"), QStringList { "STAYS" });
    EXPECT_EQ(TestDatabases::rows(*pg, "SELECT iEnquiryID FROM _iptblEasyEnquiryParam"),
        QStringList { "2" });
    EXPECT_EQ(TestDatabases::rows(*pg, "SELECT iEnquiryID FROM _iptblEasyEnquiryColumn"),
        QStringList { "2" });
    EXPECT_EQ(TestDatabases::rows(*pg, "SELECT cNoteText FROM _btblNotes ORDER BY idNotes"),
        QStringList({ "other IQ", "other table" }));
}
