#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/db/dataset/TQuillonADOStoredProc.h"
#include "host/db/engine/Connection.h"
#include "store/StoreProcedures.h"

#include <gtest/gtest.h>

namespace {

class DeleteProcedureTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterStoreProcedures();
        db.exec(kTwoEnquiriesWithRows);
    }

    bool callDelete(int id)
    {
        TQuillonADOStoredProc proc;
        proc.SetConnection(&db.payroll());
        proc.SetProcedureName("_ipspDeleteEasyEnquiry");
        proc.Parameters().SetValue("@EasyEnquiryID", std::int64_t { id });
        const bool ok = proc.rvExecProc(false);
        if (ok) {
            EXPECT_EQ(proc.ReturnValue(), 0);
        }
        lastError = proc.LastError().text;
        return ok;
    }

    QStringList remaining()
    {
        return db.rows(
            "SELECT 'E' || idEnquiry FROM _iptblEasyEnquiry UNION ALL "
            "SELECT 'P' || iEnquiryID || cDescription FROM _iptblEasyEnquiryParam UNION ALL "
            "SELECT 'C' || iEnquiryID FROM _iptblEasyEnquiryColumn UNION ALL "
            "SELECT 'N ' || cNoteText FROM _btblNotes");
    }

    TestDatabases db;
    std::string lastError;
};

} // namespace

TEST_F(DeleteProcedureTest, RemovesTheIQWithItsParametersColumnsAndNotes)
{
    ASSERT_TRUE(callDelete(1)) << lastError;
    EXPECT_EQ(remaining(), (QStringList { "E2", "P2A", "C2", "N other IQ", "N other table" }));
    // An id that no longer exists deletes nothing and still succeeds.
    EXPECT_TRUE(callDelete(1)) << lastError;
    EXPECT_EQ(remaining().size(), 5);
}

TEST_F(DeleteProcedureTest, FailureHalfWayKeepsEverything)
{
    // The notes are deleted after the parameters and columns: refusing there must bring those back.
    db.exec("CREATE TRIGGER keep_notes BEFORE DELETE ON _btblNotes "
            "BEGIN SELECT RAISE(ABORT, 'notes are archived'); END;");
    const auto before = remaining();
    EXPECT_FALSE(callDelete(1));
    EXPECT_NE(lastError.find("notes are archived"), std::string::npos) << lastError;
    EXPECT_EQ(remaining(), before);
    EXPECT_FALSE(db.payroll().inTransaction());
}
