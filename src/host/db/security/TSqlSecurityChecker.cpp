#include "host/db/security/TSqlSecurityChecker.h"

#include "host/db/engine/SqliteConnection.h"
#include "host/db/security/SqliteSecurityGuard.h"

#include <memory>
#include <string_view>

namespace {

// True when only blanks, ";" and comments follow the first statement.
bool onlyBlanks(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c == ';' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            ++i;
        } else if (text.substr(i, 2) == "--") {
            const std::size_t end = text.find('\n', i);
            i = end == std::string_view::npos ? text.size() : end + 1;
        } else if (text.substr(i, 2) == "/*") {
            const std::size_t end = text.find("*/", i + 2);
            i = end == std::string_view::npos ? text.size() : end + 2; // unterminated: a comment
        } else {
            return false;
        }
    }
    return true;
}

} // namespace

bool TSqlSecurityChecker::refuse(const QString &reason)
{
    m_reason = reason;
    return false;
}

bool TSqlSecurityChecker::SecurityCheckSuccessful(
    Connection &connection, const QString &sql, std::vector<std::string> *columns)
{
    m_reason.clear();
    if (columns)
        columns->clear();
    const std::string text = sql.toStdString();
    std::string tail;
    auto *sqlite = dynamic_cast<SqliteConnection *>(&connection);

    // A report connection keeps its guard; any other gets one for this compile only.
    SqliteSecurityGuard *guard = nullptr;
    std::unique_ptr<SqliteAuthorizer> previous;
    bool borrowed = false;
    if (sqlite) {
        guard = dynamic_cast<SqliteSecurityGuard *>(sqlite->authorizer());
        if (!guard) {
            auto own = std::make_unique<SqliteSecurityGuard>();
            guard = own.get();
            previous = sqlite->setAuthorizer(std::move(own));
            borrowed = true;
        }
        guard->clear();
    }
    const auto statement = connection.prepare(text, &tail);
    const bool denied = guard && guard->denied();
    const QString deniedReason = guard ? QString::fromStdString(guard->reason()) : QString();
    if (borrowed)
        sqlite->setAuthorizer(std::move(previous)); // before anything else compiles here

    if (denied)
        return refuse(QStringLiteral("The statement %1.").arg(deniedReason));
    if (!statement)
        return true;
    if (!statement->isReadOnly())
        return refuse(QStringLiteral("The statement writes to the database."));
    if (!onlyBlanks(tail))
        return refuse(QStringLiteral("The text holds more than one statement."));
    if (!sqlite) {
        if (sql.contains(QLatin1String("cPasswordHash"), Qt::CaseInsensitive)
            || (sql.contains(QLatin1String("_rtblAgents"), Qt::CaseInsensitive)
                && sql.contains(QLatin1Char('*'))))
            return refuse(QStringLiteral("The statement reads the agents' password hashes."));
    }
    if (columns) {
        for (int column = 0; column < statement->columnCount(); ++column)
            columns->push_back(statement->columnName(column));
    }
    return true;
}
