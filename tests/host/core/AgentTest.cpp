#include "HostDatabases.h"
#include "PrintQt.h"

#include "host/core/Agent.h"

#include <gtest/gtest.h>

namespace {

TEST(AgentTest, SignInChecksTheArgon2idHashAndLoadsRights)
{
    HostDatabases databases;
    const int clerk = databases.addAgent("Clerk", "s3cret pass", false);
    databases.addAgent("Admin", "admin", true);
    databases.addAgent("Gone", "gone", false, false);
    databases.exec(databases.payroll(),
        QString("insert into _rtblAgentFunctions values (%1, 2602)")
            .arg(clerk)
            .toUtf8()
            .constData());

    const struct
    {
        const char *name;
        const char *password;
        const char *error;
    } refused[] = {
        { "Clerk", "wrong", "Unknown agent or wrong password." },
        { "Clerk", "", "Unknown agent or wrong password." },
        { "Nobody", "s3cret pass", "Unknown agent or wrong password." },
        { "Gone", "gone", "The agent \"Gone\" is not active." },
    };
    for (const auto &row : refused) {
        SCOPED_TRACE(row.name);
        QString error;
        EXPECT_FALSE(SignIn(databases.payroll(), row.name, row.password, error));
        EXPECT_EQ(error, row.error);
        EXPECT_EQ(CurrentAgent(), nullptr);
    }
    EXPECT_FALSE(hasAccessToFunction(2602));

    QString error;
    ASSERT_TRUE(SignIn(databases.payroll(), "clerk", "s3cret pass", error)) << error.toStdString();
    ASSERT_NE(CurrentAgent(), nullptr);
    EXPECT_EQ(CurrentAgent()->idAgents, clerk);
    EXPECT_EQ(CurrentAgent()->cAgentName, "Clerk");
    EXPECT_FALSE(CurrentAgent()->IsAdministrator());
    EXPECT_TRUE(CurrentAgent()->AllPayrollCompanies());
    EXPECT_FALSE(CurrentAgent()->AllPayFrequencies());
    EXPECT_TRUE(hasAccessToFunction(2602));
    EXPECT_FALSE(hasAccessToFunction(2601));

    // A failed attempt keeps whoever is signed in.
    EXPECT_FALSE(SignIn(databases.payroll(), "Admin", "nope", error));
    EXPECT_EQ(CurrentAgent()->cAgentName, "Clerk");
    ASSERT_TRUE(SignIn(databases.payroll(), "Admin", "admin", error));
    EXPECT_TRUE(hasAccessToFunction(2601)); // administrators may do everything
    SignOut();
    EXPECT_EQ(CurrentAgent(), nullptr);
}

TEST(AgentTest, HashesAreSaltedArgon2id)
{
    const QString first = HashPassword("same");
    const QString second = HashPassword("same", true);
    EXPECT_TRUE(first.startsWith("$argon2id$"));
    EXPECT_NE(first, second);
    EXPECT_TRUE(VerifyPassword(first, "same"));
    EXPECT_TRUE(VerifyPassword(second, "same"));
    EXPECT_FALSE(VerifyPassword(first, "Same"));
    EXPECT_FALSE(VerifyPassword("", ""));
    EXPECT_FALSE(VerifyPassword("not a hash", "same"));
}

} // namespace
