// Statement preparation over arbitrary text: parameter substitution, then the agent filters.
// Input: one byte of flags (bit 4: text values as typed; bit 3: somebody is signed in; bits 0 to
// 2: that agent sees all payroll companies, all pay frequencies, all locations), then segments
// separated by 0x1F: the statement, then up to three parameter rows, each a type byte followed by
// "name", 0x1E, "value" (no 0x1E: a null value). Sizes are capped: a value may hold markers of
// later parameters, and each such level multiplies the text, which says nothing new about the code.
#include "host/core/Agent.h"
#include "host/core/SqlExec.h"
#include "run/IPIQAgentChecking.h"
#include "run/PrepareStatement.h"
#include "store/Databases.h"

#include <QByteArray>
#include <QList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kMaxStatement = 512;
constexpr int kMaxRows = 3;
constexpr int kMaxValue = 8;

ParamRow ReadRow(const QByteArray &segment)
{
    ParamRow row;
    row.typeIndex = static_cast<unsigned char>(segment.at(0)) % 6; // 5: outside the five types
    const QByteArray rest = segment.mid(1);
    const qsizetype split = rest.indexOf('\x1e');
    row.name = QString::fromUtf8(split < 0 ? rest : rest.left(split));
    if (split >= 0) {
        const QString value = QString::fromUtf8(rest.mid(split + 1)).left(kMaxValue);
        row.cValue = value;
        // Digits read as days after 1899-12-30, so null, zero and real dates all occur.
        bool ok = false;
        const int days = value.toInt(&ok);
        if (ok)
            row.dtValue = QDateTime(QDate(1899, 12, 30).addDays(days), QTime(0, 0));
    }
    return row;
}

std::optional<HostDatabases> g_databases;

QString AgentName(int rights)
{
    return QStringLiteral("agent%1").arg(rights);
}

// Signs the agent with these rights in for real (-1: signs out), as the program does; only when
// the agent changes, since checking the password hash is the slowest step of an input.
void SignInWithRights(int rights)
{
    static int signedIn = -1;
    if (rights == signedIn)
        return;
    signedIn = rights;
    if (rights < 0) {
        SignOut();
        return;
    }
    QString error;
    if (!SignIn(*g_databases->payroll, AgentName(rights), AgentName(rights), error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        std::abort();
    }
}

} // namespace

// One agent for each combination of the three rights, in databases made once.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static QTemporaryDir dir;
    QString error;
    g_databases
        = OpenHostDatabases(dir.filePath("payroll.db"), dir.filePath("common.db"), true, error);
    DbError dbError;
    for (int rights = 0; g_databases && rights < 8; ++rights) {
        const bool added = g_databases->payroll->run(
            "insert into _rtblAgents (cAgentName, cPasswordHash, bAllPayrollCompanies, "
            "bAllPayFrequencies, bAllLocations) values (?, ?, ?, ?, ?)",
            { SqlExec::ToValue(AgentName(rights)),
                SqlExec::ToValue(HashPassword(AgentName(rights), true)),
                std::int64_t { (rights & 1) != 0 }, std::int64_t { (rights & 2) != 0 },
                std::int64_t { (rights & 4) != 0 } },
            dbError);
        if (!added)
            error = QString::fromStdString(dbError.text);
    }
    if (!error.isEmpty()) {
        std::fprintf(stderr, "The fuzz databases cannot be made: %s\n", qPrintable(error));
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t flags = data[0];
    const QList<QByteArray> segments
        = QByteArray(reinterpret_cast<const char *>(data + 1), static_cast<qsizetype>(size - 1))
              .split('\x1f');
    const QString statement = QString::fromUtf8(segments.at(0)).left(kMaxStatement);
    std::vector<ParamRow> rows;
    for (qsizetype i = 1; i < segments.size() && rows.size() < kMaxRows; ++i) {
        if (!segments.at(i).isEmpty())
            rows.push_back(ReadRow(segments.at(i)));
    }

    SignInWithRights(flags & 8 ? flags & 7 : -1);

    // Bit 4 of the first byte: text values as typed, else with doubled quotes.
    const TextValues mode = flags & 16 ? TextValues::AsTyped : TextValues::QuotesDoubled;
    QString error;
    QString sql = SubstituteParameters(statement, rows, mode, &error);
    if (rows.empty() && (sql != statement || !error.isEmpty()))
        __builtin_trap(); // nothing to substitute must change nothing
    if (mode == TextValues::AsTyped && !error.isEmpty())
        __builtin_trap(); // as typed, every value goes in
    if (!error.isEmpty())
        return 0;
    ApplyAgentFilters(sql);
    for (const char *token : { "CHECKAGENTPAYROLLCOMPANYSECURITY", "CHECKAGENTPAYFREQUENCYSECURITY",
             "CHECKAGENTLOCATIONSECURITY" }) {
        if (sql.contains(QLatin1String(token)))
            __builtin_trap(); // every token is replaced
    }
    return 0;
}
