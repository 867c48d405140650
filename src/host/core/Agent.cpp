#include "host/core/Agent.h"

#include "host/core/PasswordVerifier.h"
#include "host/core/SqlExec.h"
#include "host/db/engine/Connection.h"

#include <optional>

#include <sodium.h>

namespace {
std::optional<TAgent> g_agent;

const QString kWrongSignIn = QStringLiteral("Unknown agent or wrong password.");

bool SodiumReady()
{
    static const bool ready = sodium_init() >= 0;
    return ready;
}

// False without an error when no agent has the name.
bool ReadAgent(
    Connection &payroll, const QString &name, TAgent &agent, bool &active, DbError &error)
{
    bool found = false;
    const bool ok = payroll.forEachRow(
        "select idAgents, cAgentName, bAdministrator, bAllPayrollCompanies, bAllPayFrequencies, "
        "bAllLocations, bActive from _rtblAgents where upper(cAgentName) = upper(?)",
        { SqlExec::ToValue(name.trimmed()) },
        [&](const Statement &row) {
            found = true;
            agent.idAgents = int(row.asInt64(0));
            agent.cAgentName = SqlExec::TextAt(row, 1);
            agent.bAdministrator = row.asInt64(2) != 0;
            agent.bAllPayrollCompanies = row.asInt64(3) != 0;
            agent.bAllPayFrequencies = row.asInt64(4) != 0;
            agent.bAllLocations = row.asInt64(5) != 0;
            active = row.isNull(6) || row.asInt64(6) != 0;
            return false;
        },
        error);
    return ok && found;
}

// Hashed once, when first needed, with the limits of real hashes; a match with it still fails.
const QByteArray &DummyHash()
{
    static const QByteArray hash = HashPassword(QStringLiteral("no agent has this")).toLatin1();
    return hash;
}
}

TAgent *CurrentAgent()
{
    return g_agent ? &*g_agent : nullptr;
}

bool hasAccessToFunction(int functionId)
{
    return g_agent && g_agent->HasAccessToFunction(functionId);
}

bool SignIn(Connection &payroll, const PasswordVerifier &credentials, const QString &name,
    const QString &password, QString &error)
{
    TAgent agent;
    bool active = false;
    DbError dbError;
    const bool found = ReadAgent(payroll, name, agent, active, dbError);
    if (dbError.isSet()) {
        error = QStringLiteral("The agents could not be read: %1")
                    .arg(QString::fromStdString(dbError.text));
        return false;
    }
    // An unknown name is checked too, so that it answers as slowly as a wrong password.
    const bool verified = credentials.Verify(
        found ? std::optional<int>(agent.idAgents) : std::nullopt, password, error);
    if (!error.isEmpty())
        return false;
    // The password is checked before the active flag so that the flag tells nothing to a guesser.
    if (!found || !verified) {
        error = kWrongSignIn;
        return false;
    }
    if (!active) {
        error = QStringLiteral("The agent \"%1\" is not active.").arg(agent.cAgentName);
        return false;
    }
    const bool rightsRead = payroll.forEachRow(
        "select iFunctionID from _rtblAgentFunctions where iAgentID = ?",
        { SqlExec::ToValue(agent.idAgents) },
        [&](const Statement &row) {
            agent.functions.insert(int(row.asInt64(0)));
            return true;
        },
        dbError);
    if (!rightsRead) {
        error = QStringLiteral("The agent's rights could not be read: %1")
                    .arg(QString::fromStdString(dbError.text));
        return false;
    }
    g_agent = std::move(agent);
    return true;
}

void SignOut()
{
    g_agent.reset();
}

QString HashPassword(const QString &password, bool fast)
{
    if (!SodiumReady())
        return {};
    const QByteArray utf8 = password.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    const unsigned long long ops
        = fast ? crypto_pwhash_argon2id_OPSLIMIT_MIN : crypto_pwhash_argon2id_OPSLIMIT_INTERACTIVE;
    const size_t mem
        = fast ? crypto_pwhash_argon2id_MEMLIMIT_MIN : crypto_pwhash_argon2id_MEMLIMIT_INTERACTIVE;
    if (crypto_pwhash_str_alg(
            hash, utf8.constData(), utf8.size(), ops, mem, crypto_pwhash_ALG_ARGON2ID13)
        != 0)
        return {}; // out of memory
    return QString::fromLatin1(hash);
}

bool VerifyPassword(const QString &hash, const QString &password)
{
    if (!SodiumReady())
        return false;
    const QByteArray encoded = hash.isEmpty() ? DummyHash() : hash.toLatin1();
    const QByteArray utf8 = password.toUtf8();
    const bool matches
        = crypto_pwhash_str_verify(encoded.constData(), utf8.constData(), utf8.size()) == 0;
    return matches && !hash.isEmpty();
}
