#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/Agent.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {

TEST(AgentTest, SignInChecksTheArgon2idHashAndLoadsRights)
{
    TestDatabases databases;
    const int clerk
        = databases.addAgent("Clerk", { .allPayFrequencies = false, .functions = { 2602 } });
    databases.addAgent("Admin", { .administrator = true });
    databases.addAgent("Gone", { .active = false });
    databases.exec("INSERT INTO _rtblAgents (cAgentName) VALUES ('NoPassword')");

    const struct
    {
        const char *name;
        const char *password;
        const char *error;
    } refused[] = {
        { "Clerk", "wrong", "Unknown agent or wrong password." },
        { "Clerk", "", "Unknown agent or wrong password." },
        { "Nobody", "Clerk", "Unknown agent or wrong password." },
        { "NoPassword", "", "Unknown agent or wrong password." },
        { "Gone", "Gone", "The agent \"Gone\" is not active." },
    };
    for (const auto &row : refused) {
        SCOPED_TRACE(row.name);
        QString error;
        EXPECT_FALSE(
            SignIn(databases.payroll(), databases.credentials(), row.name, row.password, error));
        EXPECT_EQ(error, row.error);
        EXPECT_EQ(CurrentAgent(), nullptr);
    }
    EXPECT_FALSE(hasAccessToFunction(2602));
    const CredentialStore elsewhere(databases.path("moved/payroll.db"));
    QString error;
    EXPECT_FALSE(SignIn(databases.payroll(), elsewhere, "Clerk", "Clerk", error));
    EXPECT_EQ(error,
        QStringLiteral("The agents' credentials file \"%1\" does not exist.")
            .arg(databases.path("moved/payroll.agents.db")));

    ASSERT_TRUE(SignIn(databases.payroll(), databases.credentials(), "clerk", "Clerk", error))
        << error.toStdString();
    ASSERT_NE(CurrentAgent(), nullptr);
    EXPECT_EQ(CurrentAgent()->idAgents, clerk);
    EXPECT_EQ(CurrentAgent()->cAgentName, "Clerk");
    EXPECT_FALSE(CurrentAgent()->IsAdministrator());
    EXPECT_TRUE(CurrentAgent()->AllPayrollCompanies());
    EXPECT_FALSE(CurrentAgent()->AllPayFrequencies());
    EXPECT_TRUE(hasAccessToFunction(2602));
    EXPECT_FALSE(hasAccessToFunction(2601));

    // A failed attempt keeps whoever is signed in.
    EXPECT_FALSE(SignIn(databases.payroll(), databases.credentials(), "Admin", "nope", error));
    EXPECT_EQ(CurrentAgent()->cAgentName, "Clerk");
    ASSERT_TRUE(SignIn(databases.payroll(), databases.credentials(), "Admin", "Admin", error));
    EXPECT_TRUE(hasAccessToFunction(2601)); // administrators may do everything
    SignOut();
    EXPECT_EQ(CurrentAgent(), nullptr);
}

// Were an unknown name refused without hashing, its quicker answer would tell which names exist.
// The fastest of a few tries of each stays within a factor that even a loaded machine keeps; the
// fault it catches is a factor of a thousand.
TEST(AgentTest, UnknownNameAnswersAsSlowlyAsAWrongPassword)
{
    TestDatabases databases;
    const int known = databases.addAgent("Known");
    QString error;
    ASSERT_TRUE(databases.credentials().SetPassword(known, "Known", false, error)); // real cost
    const auto fastest = [&](const char *name) {
        qint64 best = std::numeric_limits<qint64>::max();
        for (int attempt = 0; attempt < 3; ++attempt) {
            QElapsedTimer timer;
            timer.start();
            EXPECT_FALSE(
                SignIn(databases.payroll(), databases.credentials(), name, "wrong", error));
            best = std::min(best, timer.nsecsElapsed());
        }
        return best;
    };
    const qint64 unknown = fastest("Nobody");
    const qint64 wrong = fastest("Known");
    EXPECT_GT(unknown * 4, wrong) << unknown << " ns against " << wrong << " ns";
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
