// Statement preparation over arbitrary text: parameter substitution, then the agent filters.
// Input: one byte of agent flags, then segments separated by 0x1F: the statement, then up to
// three parameter rows, each a type byte followed by "name", 0x1E, "value" (no 0x1E: a null
// value). Sizes are capped: a value may hold markers of later parameters, and each such level
// multiplies the text, which says nothing new about the code.
#include "host/core/Agent.h"
#include "run/IPIQAgentChecking.h"
#include "run/PrepareStatement.h"

#include <QByteArray>
#include <QList>

#include <cstddef>
#include <cstdint>

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

} // namespace

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

    if (flags & 8) {
        TAgent agent;
        agent.idAgents = flags >> 4;
        agent.bAllPayrollCompanies = flags & 1;
        agent.bAllPayFrequencies = flags & 2;
        agent.bAllLocations = flags & 4;
        SetCurrentAgentForTesting(agent);
    } else {
        SignOut();
    }

    QString sql = SubstituteParameters(statement, rows);
    if (rows.empty() && sql != statement)
        __builtin_trap(); // nothing to substitute must change nothing
    ApplyAgentFilters(sql);
    for (const char *token : { "CHECKAGENTPAYROLLCOMPANYSECURITY", "CHECKAGENTPAYFREQUENCYSECURITY",
             "CHECKAGENTLOCATIONSECURITY" }) {
        if (sql.contains(QLatin1String(token)))
            __builtin_trap(); // every token is replaced
    }
    return 0;
}
