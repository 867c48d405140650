#include "store/Schema.h"

#include "host/db/engine/Connection.h"
#include "store/SqlHelpers.h"

namespace {

QString FileOf(const Connection &connection)
{
    return QString::fromStdString(connection.fileName());
}

DatabaseKind OtherKind(DatabaseKind kind)
{
    return kind == DatabaseKind::Payroll ? DatabaseKind::Common : DatabaseKind::Payroll;
}

// Refuses a database that belongs to someone else; empty when it is ours or still empty.
QString OwnershipError(
    const QString &file, DatabaseKind kind, std::int64_t applicationId, std::int64_t objectCount)
{
    const QString wanted = DatabaseKindName(kind);
    if (applicationId == ApplicationId(OtherKind(kind)))
        return QStringLiteral("The file \"%1\" is a Corvane %2 database, not a %3 database; it was "
                              "left unchanged.")
            .arg(file, DatabaseKindName(OtherKind(kind)), wanted);
    if (applicationId != 0 && applicationId != ApplicationId(kind))
        return QStringLiteral("The file \"%1\" belongs to another program, not a Corvane %2 "
                              "database; it was left unchanged.")
            .arg(file, wanted);
    // Tables without our mark: someone else's database that happens to be SQLite.
    if (applicationId == 0 && objectCount > 0)
        return QStringLiteral("The file \"%1\" is not a Corvane %2 database; it was left "
                              "unchanged.")
            .arg(file, wanted);
    return {};
}

} // namespace

std::span<const SchemaStep> SchemaSteps(DatabaseKind kind)
{
    return kind == DatabaseKind::Payroll ? PayrollSchemaSteps() : CommonSchemaSteps();
}

int CurrentSchemaVersion(DatabaseKind kind)
{
    return SchemaSteps(kind).back().version;
}

std::int32_t ApplicationId(DatabaseKind kind)
{
    return kind == DatabaseKind::Payroll ? kPayrollApplicationId : kCommonApplicationId;
}

QString DatabaseKindName(DatabaseKind kind)
{
    return kind == DatabaseKind::Payroll ? QStringLiteral("payroll") : QStringLiteral("common");
}

std::optional<int> CheckSchema(Connection &connection, DatabaseKind kind, QString &error)
{
    const QString file = FileOf(connection);
    DbError dbError;
    const auto applicationId = QueryInt(connection, "PRAGMA application_id", {}, dbError);
    const auto version
        = applicationId ? QueryInt(connection, "PRAGMA user_version", {}, dbError) : std::nullopt;
    const auto objects = version
        ? QueryInt(connection, "SELECT count(*) FROM sqlite_master", {}, dbError)
        : std::nullopt;
    if (!objects) {
        error = FileErrorText(file, dbError);
        return std::nullopt;
    }
    error = OwnershipError(file, kind, *applicationId, *objects);
    if (!error.isEmpty())
        return std::nullopt;
    const int found = static_cast<int>(*version);
    const int current = CurrentSchemaVersion(kind);
    if (found > current) {
        error = QStringLiteral("The %1 database \"%2\" was made by a newer version of Corvane "
                               "(schema %3; this program knows up to %4); it was left unchanged.")
                    .arg(DatabaseKindName(kind), file)
                    .arg(found)
                    .arg(current);
        return std::nullopt;
    }
    return found;
}

bool EnsureSchema(Connection &connection, DatabaseKind kind, QString &error, int targetVersion)
{
    const int current = CurrentSchemaVersion(kind);
    if (targetVersion <= 0 || targetVersion > current)
        targetVersion = current;
    const QString file = FileOf(connection);

    // The checks read inside the same transaction that writes, so nobody changes the file
    // between the decision and the upgrade; every early return rolls back.
    Transaction transaction(connection);
    if (!transaction.started()) {
        error = FileErrorText(file, connection.lastError());
        return false;
    }
    const std::optional<int> found = CheckSchema(connection, kind, error);
    if (!found)
        return false;
    if (*found >= targetVersion)
        return true;

    for (const SchemaStep &step : SchemaSteps(kind)) {
        if (step.version <= *found || step.version > targetVersion)
            continue;
        if (!connection.execute(step.script)) {
            error = QStringLiteral("The %1 database \"%2\" could not be brought to version %3: %4")
                        .arg(DatabaseKindName(kind), file)
                        .arg(step.version)
                        .arg(ErrorText(connection.lastError()));
            return false;
        }
    }
    // Pragmas take no bound values; both numbers are our own constants.
    const std::string mark = "PRAGMA application_id = " + std::to_string(ApplicationId(kind))
        + "; PRAGMA user_version = " + std::to_string(targetVersion) + ";";
    if (!connection.execute(mark) || !transaction.commit()) {
        error = QStringLiteral("The %1 database \"%2\" could not be written: %3")
                    .arg(DatabaseKindName(kind), file, ErrorText(connection.lastError()));
        return false;
    }
    return true;
}
