#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/HostContext.h"
#include "host/core/SystemValues.h"
#include "host/core/TypeTables.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "run/EnquiryExecution.h"
#include "run/PrepareStatement.h"

#include <QCryptographicHash>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// What must become of an IQ that someone hostile wrote, or of a value a clerk typed.
enum class Outcome {
    Refused, // prepare or run fails
    Harmless, // may run; it changes nothing and shows no password hash
    NoRows, // runs and shows nothing
};

struct Attempt
{
    const char *name;
    const char *sql;
    Outcome outcome;
    bool commonDb = false;
    const char *textValue = nullptr; // stored as the IQ's "Value" text parameter
};

QByteArray FileHash(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

class HostileEnquiryTest : public ::testing::Test
{
protected:
    HostileEnquiryTest() { db.addDemoData(40, 2); }

    // Everything a report could change in the common database; its log grows with every run.
    QStringList commonState()
    {
        return db.rows(db.common(),
                   "select type || name || ifnull(sql, '') from sqlite_master order by name")
            + db.rows(db.common(), "select * from _btblSystemValues order by 1");
    }

    // Prepares and runs the IQ as the signed-in agent: false when either step refuses, else the
    // rows with their cells joined by "|".
    bool run(int id, const Attempt &attempt, QStringList &rows)
    {
        QString sql;
        QString error;
        Connection *target = ReportConnection(attempt.commonDb);
        if (!PrepareEnquirySQL(
                db.payroll(), id, QString::fromUtf8(attempt.sql), sql, error, target))
            return false;
        TQuillonADOQuery query;
        qint64 elapsed = 0;
        if (!OpenEnquiry(query, *target, sql, "HOSTILE", "Hostile", elapsed, error))
            return false;
        for (query.First(); !query.Eof(); query.Next()) {
            QStringList cells;
            for (int field = 0; field < query.FieldCount(); ++field)
                cells << query.Field(field).AsString();
            rows << cells.join('|');
        }
        return true;
    }

    TestDatabases db;
};

// Every attempt below once got through somewhere, or is the plain form of one that did. Each is
// prepared and run for every demo agent; none may change a database file or show a hash.
TEST_F(HostileEnquiryTest, NothingWritesAndNoHashShowsForAnyAgent)
{
    constexpr const char *kHashJoin
        = "select cAgentName, cPasswordHash from %1_rtblAgents full join (select null as "
          "cPasswordHash where 0) using (cPasswordHash)";
    const QByteArray payrollJoin = QString::fromLatin1(kHashJoin).arg("").toUtf8();
    const QByteArray commonJoin = QString::fromLatin1(kHashJoin).arg("payroll.").toUtf8();
    const Attempt attempts[] = {
        { "hashes through a FULL JOIN's USING column", payrollJoin.constData(), Outcome::Harmless },
        { "the same from a common-database IQ", commonJoin.constData(), Outcome::Harmless, true },
        { "NATURAL FULL JOIN",
            "select * from _rtblAgents natural full join (select null as cPasswordHash where 0)",
            Outcome::Harmless },
        { "scalar sub-select",
            "select (select cPasswordHash from _rtblAgents full join (select null as "
            "cPasswordHash where 0) using (cPasswordHash) limit 1) as h",
            Outcome::Harmless },
        { "LIKE oracle",
            "select cAgentName from _rtblAgents full join (select null as cPasswordHash where 0) "
            "using (cPasswordHash) where cPasswordHash like '$argon2id$%'",
            Outcome::Refused }, // no database an IQ reaches has the column
        { "plain hash column", "select cAgentName, cPasswordHash from _rtblAgents",
            Outcome::Refused },
        { "star over the agents", "select * from _rtblAgents", Outcome::Harmless },
        { "table-valued pragma that writes", "select * from pragma_optimize", Outcome::Refused },
        { "pragma that changes the journal", "select * from pragma_journal_mode('off')",
            Outcome::Refused },
        { "tokenizer address", "select hex(fts3_tokenizer('simple'))", Outcome::Refused },
        { "extension", "select load_extension('libc.so.6')", Outcome::Refused },
        { "page statistics", "select * from dbstat", Outcome::Refused },
        { "statement list", "select * from sqlite_stmt", Outcome::Refused },
        { "build options", "select sqlite_compileoption_get(0)", Outcome::Refused },
        { "a huge value", "select length(zeroblob(2000000000))", Outcome::Refused },
        { "write", "delete from _iptblEmployees", Outcome::Refused },
        { "write inside a CTE",
            "with x as (select 1) insert into _iptblLocations (cCode) select 'Z' from x",
            Outcome::Refused },
        { "second statement", "select 1; delete from _iptblEmployees", Outcome::Refused },
        { "attach", "attach database 'x.db' as x", Outcome::Refused },
        { "vacuum into a file", "vacuum into 'copy.db'", Outcome::Refused },
        { "transaction", "begin immediate", Outcome::Refused },
        { "text value that ends its quotes",
            "select cCode from _iptblLocations where cCode = @Value", Outcome::NoRows, false,
            "x' OR 1=1 /*" },
        { "text value with a union", "select cCode from _iptblLocations where cCode = @Value",
            Outcome::NoRows, false, "x' UNION ALL SELECT cAgentName FROM _rtblAgents --" },
        { "text value that reaches a writing pragma",
            "select cCode from _iptblLocations where cCode = @Value", Outcome::NoRows, false,
            "x' UNION ALL SELECT 1 FROM pragma_optimize --" },
        { "marker inside the author's quotes",
            "select cCode from _iptblLocations where cCode like '%@Value%'", Outcome::Refused,
            false, "' OR 1=1 OR '" },
        { "line break out of a comment", "select cCode from _iptblLocations where 0 -- @Value",
            Outcome::Refused, false, "\nor 1=1" },
        { "reports that only read", "select * from pragma_table_info('_rtblAgents')",
            Outcome::Harmless },
        { "json and the agent function", "select * from json_each('[1,2]'), _efnAgentPCSecurity(1)",
            Outcome::Harmless },
    };
    const QByteArray payrollBefore = FileHash(db.payrollPath());
    const QStringList commonBefore = commonState();
    const QString payrollTables = db.rows("select name from sqlite_master order by 1").join(',');

    std::vector<int> ids;
    for (const Attempt &attempt : attempts) {
        const QString code = QStringLiteral("HOST%1").arg(ids.size());
        const QString sql = QString::fromUtf8(attempt.sql);
        ids.push_back(attempt.textValue
                ? db.insertEnquiry(code, sql, {}, { { "Value", kSQLTypeText, attempt.textValue } })
                : db.insertEnquiry(code, sql));
        if (attempt.commonDb)
            db.exec(
                "update _iptblEasyEnquiry set bCommonDB = 1 where idEnquiry = ?", { ids.back() });
    }
    const QByteArray payrollPlanted = FileHash(db.payrollPath());
    ASSERT_NE(payrollPlanted, payrollBefore);

    for (const char *agent : { "admin", "clerk", "viewer" }) {
        db.signIn(agent);
        for (std::size_t i = 0; i < ids.size(); ++i) {
            const Attempt &attempt = attempts[i];
            SCOPED_TRACE(std::string(agent) + ": " + attempt.name);
            QStringList rows;
            const bool ran = run(ids[i], attempt, rows);
            switch (attempt.outcome) {
            case Outcome::Refused:
                EXPECT_FALSE(ran) << rows.join('\n').toStdString();
                break;
            case Outcome::NoRows:
                EXPECT_TRUE(ran);
                EXPECT_EQ(rows, QStringList());
                break;
            case Outcome::Harmless:
                break;
            }
            EXPECT_FALSE(rows.join('\n').contains("$argon2")) << rows.join('\n').toStdString();
            EXPECT_EQ(FileHash(db.payrollPath()), payrollPlanted);
            EXPECT_EQ(commonState(), commonBefore);
        }
    }
    EXPECT_EQ(db.rows("select name from sqlite_master order by 1").join(','), payrollTables);
}

// The report connections themselves cannot write, whatever slips past the checks; the common
// one sees the payroll file read-only too.
TEST_F(HostileEnquiryTest, ReportConnectionsCannotWrite)
{
    const struct
    {
        bool commonDb;
        const char *sql;
    } rows[] = {
        { false, "delete from _iptblEmployees" },
        { false, "create table t (a)" },
        { false, "select * from pragma_optimize" },
        { false, "pragma query_only = off" },
        { true, "delete from payroll._iptblEmployees" },
        { true, "create table payroll.t (a)" },
        { true, "delete from _btblSystemValues" },
    };
    DbError error;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.sql);
        EXPECT_FALSE(ReportConnection(row.commonDb)->run(row.sql, {}, error));
    }
    EXPECT_EQ(
        db.count("select count(*) from sqlite_master where name in ('t', 'sqlite_stat1')"), 0);
    EXPECT_GT(db.count("select count(*) from _iptblEmployees"), 0);
    EXPECT_GT(db.count(db.common(), "select count(*) from _btblSystemValues"), 0);
}

} // namespace
