#include "store/Schema.h"

#include "host/db/engine/Connection.h"
#include "store/CredentialsAttachment.h"
#include "store/SqlHelpers.h"

namespace {

QString FileOf(const Connection &connection)
{
    return QString::fromStdString(connection.fileName());
}

// Refuses a database that belongs to someone else; empty when it is ours or still empty.
QString OwnershipError(
    const QString &file, DatabaseKind kind, std::int64_t applicationId, std::int64_t objectCount)
{
    const QString wanted = DatabaseKindName(kind);
    for (const DatabaseKind other :
        { DatabaseKind::Payroll, DatabaseKind::Common, DatabaseKind::Credentials }) {
        if (other != kind && applicationId == ApplicationId(other))
            return QStringLiteral("The file \"%1\" is a Corvane %2 database, not a %3 database; it "
                                  "was left unchanged.")
                .arg(file, DatabaseKindName(other), wanted);
    }
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

// Whether bringing `found` to `target` runs a step that writes the credentials file.
bool ReachesCredentials(DatabaseKind kind, int found, int target)
{
    for (const SchemaStep &step : SchemaSteps(kind)) {
        if (step.version > found && step.version <= target && step.reachesCredentials)
            return true;
    }
    return false;
}

} // namespace

std::span<const SchemaStep> SchemaSteps(DatabaseKind kind)
{
    switch (kind) {
    case DatabaseKind::Payroll:
        return PayrollSchemaSteps();
    case DatabaseKind::Common:
        return CommonSchemaSteps();
    case DatabaseKind::Credentials:
        break;
    }
    return CredentialsSchemaSteps();
}

int CurrentSchemaVersion(DatabaseKind kind)
{
    return SchemaSteps(kind).back().version;
}

std::int32_t ApplicationId(DatabaseKind kind)
{
    switch (kind) {
    case DatabaseKind::Payroll:
        return kPayrollApplicationId;
    case DatabaseKind::Common:
        return kCommonApplicationId;
    case DatabaseKind::Credentials:
        break;
    }
    return kCredentialsApplicationId;
}

QString DatabaseKindName(DatabaseKind kind)
{
    switch (kind) {
    case DatabaseKind::Payroll:
        return QStringLiteral("payroll");
    case DatabaseKind::Common:
        return QStringLiteral("common");
    case DatabaseKind::Credentials:
        break;
    }
    return QStringLiteral("credentials");
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

    // ATTACH cannot run inside a transaction, so this first look decides whether the credentials
    // file is needed; the look inside the transaction is the one the upgrade trusts.
    const std::optional<int> before = CheckSchema(connection, kind, error);
    if (!before)
        return false;
    CredentialsAttachment credentials(connection);
    if (ReachesCredentials(kind, *before, targetVersion) && !credentials.Attach(true, error))
        return false;

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
        if (step.refusal) {
            error = step.refusal(connection, file);
            if (!error.isEmpty())
                return false;
        }
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
    credentials.Keep();
    return true;
}
