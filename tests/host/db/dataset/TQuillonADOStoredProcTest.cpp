#include "host/db/DbTestSupport.h"

#include "host/db/dataset/TQuillonADOStoredProc.h"

TEST_F(DbTest, StoredProceduresRunByNameAndReportFailures)
{
    exec("CREATE TABLE t(id INTEGER PRIMARY KEY)");
    exec("INSERT INTO t VALUES (1), (2)");
    TQuillonADOStoredProc::RegisterProcedure("_ipspTestDelete",
        [](Connection &connection, const ProcParams &params, int &returnValue, DbError &error) {
            const auto id = params.IntegerOf("@ID");
            if (!id) {
                error = DbError { "@ID is required.", 0, {} };
                return false;
            }
            auto statement = connection.prepare("delete from t where id = ?");
            statement->bind(1, Value(*id));
            statement->step();
            returnValue = connection.changes();
            return true;
        });
    QStringList reported;
    TQuillonADOStoredProc::SetErrorReporter([&](const QString &text) { reported << text; });

    TQuillonADOStoredProc proc;
    proc.SetConnection(db.get());
    proc.SetProcedureName("[dbo].[_IPSPTESTDELETE];1");
    proc.Parameters().SetValue("@id", Value(std::int64_t(2)));
    EXPECT_TRUE(proc.rvExecProc());
    EXPECT_EQ(proc.ReturnValue(), 1);
    EXPECT_EQ(proc.Parameters().IntegerOf("@RETURN_VALUE"), 1);
    EXPECT_EQ(scalar("select count(*) from t"), 1);

    proc.Parameters().Clear();
    EXPECT_FALSE(proc.rvExecProc(false));
    EXPECT_TRUE(reported.isEmpty());
    EXPECT_FALSE(proc.rvExecProc());
    EXPECT_EQ(reported, QStringList { "@ID is required." });

    proc.SetProcedureName("_ipspMissing");
    EXPECT_FALSE(proc.rvExecProc());
    EXPECT_EQ(reported.last(), "Could not find stored procedure '_ipspMissing'.");

    TQuillonADOStoredProc::SetErrorReporter({});
    TQuillonADOStoredProc::UnregisterProcedure("_ipspTestDelete");
}
