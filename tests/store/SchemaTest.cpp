#include "FileBytes.h"
#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/Agent.h"
#include "host/db/engine/SqliteConnection.h"
#include "store/CredentialStore.h"
#include "store/Databases.h"
#include "store/Schema.h"
#include "store/SchemaScript.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<SqliteConnection> OpenRaw(const QString &path)
{
    DbError error;
    auto connection = SqliteConnection::open(
        path.toStdString(), SqliteConnection::OpenMode::ReadWriteCreate, error);
    EXPECT_TRUE(connection) << error.text;
    return connection;
}

// What a file's schema amounts to: marks, columns, indexes with their collations, foreign keys,
// which keys never come again, and the rows a new file starts with.
QStringList Outline(Connection &db)
{
    QStringList outline = TestDatabases::rows(db,
        "SELECT 'marks', a.application_id, v.user_version FROM pragma_application_id a, "
        "pragma_user_version v");
    outline += TestDatabases::rows(db,
        "SELECT m.type, m.name, p.cid, p.name, p.type, p.\"notnull\", p.dflt_value, p.pk "
        "FROM sqlite_master m JOIN pragma_table_info(m.name) p "
        "WHERE m.type IN ('table', 'view') AND m.name NOT LIKE 'sqlite_%' ORDER BY 2, 3");
    outline += TestDatabases::rows(db,
        "SELECT m.name, l.name, l.\"unique\", l.origin, x.seqno, x.name, x.coll "
        "FROM sqlite_master m JOIN pragma_index_list(m.name) l JOIN pragma_index_xinfo(l.name) x "
        "WHERE m.type = 'table' AND x.key ORDER BY 1, 2, 5");
    outline += TestDatabases::rows(db,
        "SELECT m.name, f.* FROM sqlite_master m JOIN pragma_foreign_key_list(m.name) f "
        "WHERE m.type = 'table' ORDER BY 1");
    outline += TestDatabases::rows(db,
        "SELECT 'autoincrement', name FROM sqlite_master WHERE sql LIKE '%AUTOINCREMENT%' "
        "ORDER BY 2");
    for (const QString &table : TestDatabases::rows(db,
             "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
             "ORDER BY 1"))
        outline += TestDatabases::rows(db, ("SELECT * FROM " + table).toStdString());
    return outline;
}

// Opening the files is what these tests are about, so they open them themselves.
class SchemaTest : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString payrollPath() const { return path("payroll.db"); }
    QString commonPath() const { return path("common.db"); }
    void openDatabases()
    {
        QString error;
        auto opened = OpenHostDatabases(payrollPath(), commonPath(), true, error);
        ASSERT_TRUE(opened) << error.toStdString();
        EXPECT_TRUE(error.isEmpty());
        db = std::move(*opened);
    }
    static QStringList rows(Connection &connection, std::string_view sql)
    {
        return TestDatabases::rows(connection, sql);
    }
    // A payroll file as version 2 left it, with its agents' hashes inside (password = name).
    static void writeVersionTwo(const QString &file, std::initializer_list<const char *> agents)
    {
        auto old = OpenRaw(file);
        QString error;
        ASSERT_TRUE(EnsureSchema(*old, DatabaseKind::Payroll, error, 2)) << error.toStdString();
        for (const char *name : agents)
            TestDatabases::exec(*old,
                "INSERT INTO _rtblAgents (cAgentName, cPasswordHash) VALUES (?, ?)",
                { std::string(name), HashPassword(name, true).toStdString() });
    }

    QTemporaryDir m_dir;
    HostDatabases db;
};

} // namespace

TEST_F(SchemaTest, NewDatabasesAreMarkedAndSeeded)
{
    openDatabases();
    EXPECT_EQ(rows(*db.payroll, "PRAGMA application_id"),
        QStringList { QString::number(kPayrollApplicationId) });
    EXPECT_EQ(rows(*db.common, "PRAGMA application_id"),
        QStringList { QString::number(kCommonApplicationId) });
    EXPECT_EQ(rows(*db.payroll, "PRAGMA user_version"),
        QStringList { QString::number(CurrentSchemaVersion(DatabaseKind::Payroll)) });
    EXPECT_EQ(rows(*db.common, "SELECT cName, cValue FROM _btblSystemValues ORDER BY cName"),
        (QStringList { "IQ Report Retry Count|1", "IQ Report Timeout (Minutes)|0" }));

    // Fields get their type classes from the declared types.
    auto statement = db.payroll->prepare("SELECT idEnquiry, cCode, cSQLStatement, bCommonDB, "
                                         "nChartLayout FROM _iptblEasyEnquiry");
    ASSERT_TRUE(statement);
    EXPECT_EQ(statement->declaredType(0), FieldType::Integer);
    EXPECT_EQ(statement->declaredType(1), FieldType::String);
    EXPECT_EQ(statement->declaredType(2), FieldType::Memo);
    EXPECT_EQ(statement->declaredType(3), FieldType::Boolean);
    EXPECT_EQ(statement->declaredType(4), FieldType::Blob);

    // Opening again changes nothing and keeps the system values a user edited.
    TestDatabases::exec(*db.common,
        "UPDATE _btblSystemValues SET cValue = '5' WHERE cName = 'IQ Report Retry Count'");
    db = {};
    openDatabases();
    EXPECT_EQ(rows(*db.common,
                  "SELECT cValue FROM _btblSystemValues WHERE cName = 'IQ Report Retry Count'"),
        QStringList { "5" });
}

TEST_F(SchemaTest, UpgradeFromVersionOneKeepsRows)
{
    {
        auto old = OpenRaw(payrollPath());
        QString error;
        ASSERT_TRUE(EnsureSchema(*old, DatabaseKind::Payroll, error, 1)) << error.toStdString();
        ASSERT_EQ(rows(*old, "PRAGMA user_version"), QStringList { "1" });
        TestDatabases::exec(*old,
            "INSERT INTO _iptblEasyEnquiry (cCode, cDescription, cSQLStatement) "
            "VALUES ('OLD1', 'Kept', 'select 1'); "
            "INSERT INTO _iptblEasyEnquiryParam (iEnquiryID, cDescription, iSQLTypeID, cValue) "
            "VALUES (1, 'P', 1, 'x'); "
            "INSERT INTO _rtblAgents (idAgents, cAgentName) VALUES (7, 'old agent')");
    }
    openDatabases();
    EXPECT_EQ(rows(*db.payroll, "PRAGMA user_version"), QStringList { "5" });
    EXPECT_EQ(rows(*db.payroll, "SELECT idEnquiry, cCode, cDescription FROM _iptblEasyEnquiry"),
        QStringList { "1|OLD1|Kept" });
    EXPECT_EQ(
        rows(*db.payroll, "SELECT count(*) FROM _iptblEasyEnquiryParam"), QStringList { "1" });
    // The column added in version 2 gives existing agents its default.
    EXPECT_EQ(rows(*db.payroll, "SELECT cAgentName, bActive FROM _rtblAgents"),
        QStringList { "old agent|1" });
    EXPECT_EQ(rows(*db.payroll, "SELECT count(*) FROM _iptblPayslips"), QStringList { "0" });
    // Identities continue after the kept rows.
    TestDatabases::exec(*db.payroll, "INSERT INTO _iptblEasyEnquiry (cCode) VALUES ('NEW1')");
    EXPECT_EQ(db.payroll->lastInsertId(), 2);
}

TEST_F(SchemaTest, UpgradeMovesPasswordHashesToTheCredentialsFile)
{
    writeVersionTwo(payrollPath(), { "ann", "bob" });
    openDatabases();
    EXPECT_EQ(rows(*db.payroll, "PRAGMA user_version"), QStringList { "5" });
    EXPECT_FALSE(ReadFile(payrollPath()).contains("$argon2id$"));

    const CredentialStore credentials(payrollPath());
    EXPECT_EQ(credentials.File(), path("payroll.agents.db"));
    EXPECT_EQ(QFile::permissions(credentials.File())
            & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteOther),
        0);
    QString error;
    EXPECT_TRUE(SignIn(*db.payroll, credentials, "BOB", "bob", error)) << error.toStdString();
    EXPECT_FALSE(SignIn(*db.payroll, credentials, "bob", "ann", error));
    // Names are now unique in any letter case, as sign-in finds them.
    EXPECT_FALSE(db.payroll->execute("INSERT INTO _rtblAgents (cAgentName) VALUES ('ANN')"));
    // So are IQ codes.
    EXPECT_TRUE(db.payroll->execute("INSERT INTO _iptblEasyEnquiry (cCode) VALUES ('iq-a')"));
    EXPECT_FALSE(db.payroll->execute("INSERT INTO _iptblEasyEnquiry (cCode) VALUES ('IQ-A')"));
}

TEST_F(SchemaTest, UpgradeThatWouldLoseOrMixAgentsIsRefusedUnchanged)
{
    const struct
    {
        const char *name;
        std::initializer_list<const char *> agents;
        bool credentialsFolder; // the credentials file's name is taken by a folder
        const char *error;
        std::initializer_list<const char *> codes = {};
    } cases[] = {
        { "names differing in case", { "Ann", "bob", "ANN" }, false,
            "The payroll database \"{payroll}\" cannot be upgraded: agent names must differ in "
            "more than letter case, and \"ANN\", \"Ann\" do not; rename them and open it again. "
            "It was left unchanged." },
        { "credentials cannot be written", { "ann" }, true,
            "The database file \"{credentials}\" cannot be read: it is a folder." },
        { "IQ codes differing in case", { "ann" }, false,
            "The payroll database \"{payroll}\" cannot be upgraded: IQ codes must differ in more "
            "than letter case, and \"PAY-1\", \"pay-1\" do not; rename them and open it again. "
            "It was left unchanged.",
            { "pay-1", "PAY-1", "PAY-2" } },
    };
    int index = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString payroll = path(QStringLiteral("case%1/payroll.db").arg(++index));
        const QString credentials = CredentialStore(payroll).File();
        ASSERT_TRUE(QDir().mkpath(QFileInfo(payroll).path()));
        writeVersionTwo(payroll, c.agents);
        for (const char *code : c.codes) {
            auto raw = OpenRaw(payroll);
            TestDatabases::exec(
                *raw, "INSERT INTO _iptblEasyEnquiry (cCode) VALUES (?)", { std::string(code) });
        }
        if (c.credentialsFolder) {
            ASSERT_TRUE(QDir().mkpath(credentials));
        }
        const QByteArray before = ReadFile(payroll);

        QString error;
        EXPECT_FALSE(OpenHostDatabases(payroll, commonPath(), true, error));
        EXPECT_EQ(error,
            QString::fromLatin1(c.error)
                .replace("{payroll}", payroll)
                .replace("{credentials}", credentials));
        EXPECT_EQ(ReadFile(payroll), before);
        EXPECT_EQ(QFileInfo(credentials).isDir(), c.credentialsFolder);
        EXPECT_EQ(QFileInfo::exists(credentials), c.credentialsFolder);
    }
}

TEST_F(SchemaTest, ForeignDatabasesAreRefusedUnchanged)
{
    struct Case
    {
        const char *name;
        std::string setup; // run on the file that is then offered as the payroll database
        const char *error;
    };
    const Case cases[] = {
        { "tables without our mark",
            "CREATE TABLE customers (id INTEGER); INSERT INTO customers VALUES (1);",
            "The file \"%1\" is not a Corvane payroll database; it was left unchanged." },
        { "another program's mark", "PRAGMA application_id = 1234; CREATE TABLE t (x);",
            "The file \"%1\" belongs to another program, not a Corvane payroll database; it was "
            "left unchanged." },
        { "our common database", "PRAGMA application_id = " + std::to_string(kCommonApplicationId),
            "The file \"%1\" is a Corvane common database, not a payroll database; it was left "
            "unchanged." },
        { "a newer schema",
            "PRAGMA application_id = " + std::to_string(kPayrollApplicationId)
                + "; PRAGMA user_version = 99;",
            "The payroll database \"%1\" was made by a newer version of Corvane (schema 99; this "
            "program knows up to 5); it was left unchanged." },
    };
    int index = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString file = path(QStringLiteral("foreign%1.db").arg(++index));
        OpenRaw(file)->execute(c.setup);
        const QByteArray before = ReadFile(file);
        ASSERT_FALSE(before.isEmpty());

        QString error;
        EXPECT_FALSE(OpenHostDatabases(file, commonPath(), true, error));
        EXPECT_EQ(error, QString::fromLatin1(c.error).arg(file));
        EXPECT_EQ(ReadFile(file), before);
        // The partner file is not left behind either, whichever of the two is refused.
        EXPECT_FALSE(QFileInfo::exists(commonPath()));
        if (c.setup.find(std::to_string(kCommonApplicationId)) == std::string::npos) {
            EXPECT_FALSE(OpenHostDatabases(payrollPath(), file, true, error));
            EXPECT_FALSE(QFileInfo::exists(payrollPath()));
            EXPECT_EQ(ReadFile(file), before);
        }
    }
}

// The scripts in schema/ are read by people and applied to servers; they must be what the
// definitions write today.
TEST_F(SchemaTest, KeptScriptsAreWhatTheDefinitionsWrite)
{
    for (const SchemaEngine engine :
        { SchemaEngine::Sqlite, SchemaEngine::PostgreSql, SchemaEngine::SqlServer }) {
        for (const DatabaseKind kind :
            { DatabaseKind::Payroll, DatabaseKind::Common, DatabaseKind::Credentials }) {
            const QString name = QStringLiteral("%1/%2/%3.sql")
                                     .arg(QStringLiteral(SCHEMA_DIR), SchemaEngineName(engine),
                                         DatabaseKindName(kind));
            SCOPED_TRACE(name.toStdString());
            QString error;
            const std::optional<std::string> script = SchemaScript(engine, kind, error);
            if (!script) {
                EXPECT_FALSE(QFileInfo::exists(name)); // the credentials, on a server
                continue;
            }
            EXPECT_EQ(ReadFile(name).toStdString(), *script)
                << "run scripts/update-schema.sh and commit schema/";
        }
    }
}

// A new file from the SQLite script and one brought up through every upgrade step agree, so the
// definitions the server scripts come from are the files' own.
TEST_F(SchemaTest, SqliteScriptMakesWhatTheUpgradeStepsMake)
{
    for (const DatabaseKind kind :
        { DatabaseKind::Payroll, DatabaseKind::Common, DatabaseKind::Credentials }) {
        SCOPED_TRACE(DatabaseKindName(kind).toStdString());
        auto stepped = OpenRaw(path(DatabaseKindName(kind) + ".db"));
        auto scripted = OpenRaw(path(DatabaseKindName(kind) + "-script.db"));
        ASSERT_TRUE(stepped && scripted);
        QString error;
        ASSERT_TRUE(EnsureSchema(*stepped, kind, error)) << error.toStdString();
        const std::optional<std::string> script = SchemaScript(SchemaEngine::Sqlite, kind, error);
        ASSERT_TRUE(script);
        ASSERT_TRUE(scripted->execute(*script)) << scripted->lastError().text;
        const QStringList expected = Outline(*stepped);
        ASSERT_GT(expected.size(), 1);
        EXPECT_EQ(Outline(*scripted), expected);
    }
}
