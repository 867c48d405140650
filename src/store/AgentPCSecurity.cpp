#include "store/AgentPCSecurity.h"

#include "host/db/engine/SqliteConnection.h"

#include <cstdint>
#include <memory>
#include <vector>

#include <sqlite3.h>

namespace {

constexpr int kAgentColumn = 1; // the hidden argument column

const char *const kPayersOfAgent = R"sql(
SELECT p.idPayer FROM _iptblPayerGroups p
WHERE EXISTS (SELECT 1 FROM _rtblAgents a WHERE a.idAgents = ?1 AND a.bAllPayrollCompanies <> 0)
   OR EXISTS (SELECT 1 FROM _rtblAgentPayerGroups g WHERE g.iAgentID = ?1 AND g.iPayerID = p.idPayer)
ORDER BY p.idPayer
)sql";

struct Table
{
    sqlite3_vtab base {}; // first: SQLite hands this pointer around
    sqlite3 *db = nullptr;
};

struct Cursor
{
    sqlite3_vtab_cursor base {};
    std::vector<std::int64_t> payers;
    std::int64_t agentId = 0;
    std::size_t position = 0;
};

void SetTableError(sqlite3_vtab *table, const char *text)
{
    sqlite3_free(table->zErrMsg);
    table->zErrMsg = sqlite3_mprintf("%s", text);
}

int Connect(sqlite3 *db, void *, int, const char *const *, sqlite3_vtab **result, char **)
{
    const int rc = sqlite3_declare_vtab(db, "CREATE TABLE x(idPayer INTEGER, iAgentID HIDDEN)");
    if (rc != SQLITE_OK)
        return rc;
    auto *table = new Table;
    table->db = db;
    *result = &table->base;
    return SQLITE_OK;
}

int Disconnect(sqlite3_vtab *table)
{
    delete reinterpret_cast<Table *>(table);
    return SQLITE_OK;
}

int BestIndex(sqlite3_vtab *, sqlite3_index_info *info)
{
    bool unusable = false;
    for (int i = 0; i < info->nConstraint; ++i) {
        const auto &constraint = info->aConstraint[i];
        if (constraint.iColumn != kAgentColumn || constraint.op != SQLITE_INDEX_CONSTRAINT_EQ)
            continue;
        if (!constraint.usable) {
            unusable = true;
            continue;
        }
        info->aConstraintUsage[i].argvIndex = 1;
        info->aConstraintUsage[i].omit = 1;
        info->idxNum = 1;
        info->estimatedCost = 10;
        info->estimatedRows = 10;
        return SQLITE_OK;
    }
    // Without its argument the function has nothing to answer; a plan that can supply it later
    // (a join) is preferred by refusing this one.
    if (unusable)
        return SQLITE_CONSTRAINT;
    info->idxNum = 0;
    info->estimatedCost = 1e12;
    return SQLITE_OK;
}

int Open(sqlite3_vtab *, sqlite3_vtab_cursor **result)
{
    auto *cursor = new Cursor;
    *result = &cursor->base;
    return SQLITE_OK;
}

int Close(sqlite3_vtab_cursor *cursor)
{
    delete reinterpret_cast<Cursor *>(cursor);
    return SQLITE_OK;
}

int Filter(sqlite3_vtab_cursor *base, int idxNum, const char *, int argc, sqlite3_value **argv)
{
    auto *cursor = reinterpret_cast<Cursor *>(base);
    auto *table = reinterpret_cast<Table *>(base->pVtab);
    cursor->payers.clear();
    cursor->position = 0;
    if (idxNum != 1 || argc < 1) {
        SetTableError(base->pVtab, "_efnAgentPCSecurity needs the agent id as its argument");
        return SQLITE_ERROR;
    }
    cursor->agentId = sqlite3_value_int64(argv[0]);

    sqlite3_stmt *raw = nullptr;
    int rc = sqlite3_prepare_v2(table->db, kPayersOfAgent, -1, &raw, nullptr);
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> statement(raw, sqlite3_finalize);
    if (rc != SQLITE_OK) {
        SetTableError(base->pVtab, sqlite3_errmsg(table->db));
        return rc;
    }
    sqlite3_bind_int64(statement.get(), 1, cursor->agentId);
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW)
        cursor->payers.push_back(sqlite3_column_int64(statement.get(), 0));
    if (rc != SQLITE_DONE) {
        SetTableError(base->pVtab, sqlite3_errmsg(table->db));
        return rc;
    }
    return SQLITE_OK;
}

int Next(sqlite3_vtab_cursor *base)
{
    ++reinterpret_cast<Cursor *>(base)->position;
    return SQLITE_OK;
}

int Eof(sqlite3_vtab_cursor *base)
{
    const auto *cursor = reinterpret_cast<Cursor *>(base);
    return cursor->position >= cursor->payers.size();
}

int Column(sqlite3_vtab_cursor *base, sqlite3_context *context, int column)
{
    const auto *cursor = reinterpret_cast<Cursor *>(base);
    if (column == kAgentColumn)
        sqlite3_result_int64(context, cursor->agentId);
    else
        sqlite3_result_int64(context, cursor->payers[cursor->position]);
    return SQLITE_OK;
}

int RowId(sqlite3_vtab_cursor *base, sqlite3_int64 *rowId)
{
    *rowId = static_cast<sqlite3_int64>(reinterpret_cast<Cursor *>(base)->position) + 1;
    return SQLITE_OK;
}

// Eponymous-only: no xCreate, so it cannot be created as a table, only called by its name.
const sqlite3_module kModule = {
    0, // iVersion
    nullptr, // xCreate
    Connect, BestIndex, Disconnect,
    nullptr, // xDestroy
    Open, Close, Filter, Next, Eof, Column, RowId,
    nullptr, // xUpdate
    nullptr, // xBegin
    nullptr, // xSync
    nullptr, // xCommit
    nullptr, // xRollback
    nullptr, // xFindFunction
    nullptr, // xRename
    nullptr, // xSavepoint
    nullptr, // xRelease
    nullptr, // xRollbackTo
    nullptr, // xShadowName
};

} // namespace

bool RegisterAgentPCSecurity(SqliteConnection &connection, QString &error)
{
    const int rc = sqlite3_create_module_v2(
        connection.handle(), "_efnAgentPCSecurity", &kModule, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        error = QStringLiteral("The agent security function could not be registered: %1")
                    .arg(QString::fromUtf8(sqlite3_errmsg(connection.handle())));
        return false;
    }
    return true;
}
