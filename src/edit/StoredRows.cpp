#include "edit/StoredRows.h"

#include "host/db/engine/Connection.h"

#include <memory>

bool StoredRows::Replace(Connection &connection, int enquiryId, bool overwrite,
    const std::vector<std::vector<Value>> &rows, QString &error) const
{
    DbError failure;
    const auto fail = [&] {
        error = QString::fromStdString(failure.text);
        return false;
    };
    const std::string from = std::string(" FROM ") + table + " WHERE ";
    std::vector<std::int64_t> keys;
    if (overwrite
        && !connection.forEachRow(
            std::string("SELECT ") + key + from + "iEnquiryID = ? ORDER BY " + key,
            { std::int64_t(enquiryId) },
            [&](const Statement &row) {
                keys.push_back(row.asInt64(0));
                return true;
            },
            failure))
        return fail();

    std::string update = std::string("UPDATE ") + table + " SET iEnquiryID = ?";
    std::string insert = std::string("INSERT INTO ") + table + " (iEnquiryID";
    std::string marks = "?";
    for (const char *column : columns) {
        update += std::string(", ") + column + " = ?";
        insert += std::string(", ") + column;
        marks += ", ?";
    }
    update += std::string(" WHERE ") + key + " = ?";
    insert += ") VALUES (" + marks + ")";
    const std::unique_ptr<Statement> updating = connection.prepareBound(update, {}, failure);
    const std::unique_ptr<Statement> inserting = connection.prepareBound(insert, {}, failure);
    if (!updating || !inserting)
        return fail();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::vector<Value> values { std::int64_t(enquiryId) };
        values.insert(values.end(), rows[i].begin(), rows[i].end());
        if (i < keys.size())
            values.push_back(keys[i]);
        if (!(i < keys.size() ? updating : inserting)->run(values, failure))
            return fail();
    }
    for (std::size_t i = rows.size(); i < keys.size(); ++i) {
        if (!connection.run(std::string("DELETE") + from + key + " = ?", { keys[i] }, failure))
            return fail();
    }
    return true;
}
