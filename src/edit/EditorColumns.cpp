#include "edit/EditorColumns.h"

#include "edit/StoredRows.h"
#include "host/db/engine/Connection.h"

#include <algorithm>
#include <memory>

namespace {

QString ColumnName(const std::string &name)
{
    return QString::fromStdString(name).left(kColumnNameLength);
}

} // namespace

std::vector<EditorColumn> NewEditorColumns(const std::vector<std::string> &names)
{
    std::vector<EditorColumn> columns;
    for (std::size_t i = 0; i < names.size(); ++i)
        columns.push_back({ ColumnName(names[i]), int(i) < kShownColumns, int(i + 1) });
    return columns;
}

std::vector<EditorColumn> ApplyColumnSettings(
    const std::vector<std::string> &names, int maxOrder, const ColumnSettingsLookup &lookup)
{
    std::vector<EditorColumn> columns;
    for (const std::string &text : names) {
        const QString name = ColumnName(text);
        const std::optional<EditorColumn> known = lookup(name);
        columns.push_back(known ? EditorColumn { name, known->show, known->order }
                                : EditorColumn { name, false, ++maxOrder });
    }
    return columns;
}

bool ApplyStoredColumns(Connection &payroll, int enquiryId, const std::vector<std::string> &names,
    std::vector<EditorColumn> &columns, QString &error)
{
    DbError failure;
    std::int64_t maxOrder = 0;
    const Value id = std::int64_t(enquiryId);
    if (!payroll.forEachRow(
            "SELECT max(iOrder) FROM _iptblEasyEnquiryColumn WHERE iEnquiryID = ?", { id },
            [&](const Statement &row) {
                maxOrder = row.isNull(0) ? 0 : row.asInt64(0);
                return false;
            },
            failure)) {
        error = QString::fromStdString(failure.text);
        return false;
    }
    // Prepared once, bound per column: an IQ of hundreds of columns opens at once.
    const std::unique_ptr<Statement> find = payroll.prepareBound(
        "SELECT bShow, iOrder FROM _iptblEasyEnquiryColumn WHERE iEnquiryID = ? AND "
        "cColumnName = ? ORDER BY idEnquiryColumn",
        {}, failure);
    bool failed = !find;
    columns = ApplyColumnSettings(names, int(maxOrder), [&](const QString &name) {
        std::optional<EditorColumn> found;
        if (failed)
            return found;
        if (!find->bindAll(std::vector<Value> { id, name.toStdString() })) {
            failure = find->lastError();
            failed = true;
            return found;
        }
        const Statement::Step step = find->step();
        if (step == Statement::Step::Row)
            found = EditorColumn { name, find->asInt64(0) != 0, int(find->asInt64(1)) };
        else if (step == Statement::Step::Error) {
            failure = find->lastError();
            failed = true;
        }
        find->reset();
        return found;
    });
    if (failed)
        error = QString::fromStdString(failure.text);
    return !failed;
}

void ChangeColumnOrder(std::vector<EditorColumn> &columns, std::size_t index, int order)
{
    const int old = columns[index].order;
    columns[index].order = order;
    const bool taken = std::any_of(columns.begin(), columns.end(),
        [&](const EditorColumn &c) { return &c != &columns[index] && c.order == order; });
    if (!taken)
        return;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int r = columns[i].order;
        if (i != index && (r == order || (r > order && (order > old || r < old))))
            columns[i].order = r + 1;
    }
}

bool SaveEditorColumns(Connection &payroll, int enquiryId, bool overwrite,
    const std::vector<EditorColumn> &columns, QString &error)
{
    std::vector<std::vector<Value>> rows;
    for (const EditorColumn &column : columns) {
        if (!column.name.isEmpty())
            rows.push_back({ column.name.toStdString(), std::int64_t(column.show),
                std::int64_t(column.order) });
    }
    const StoredRows table { "_iptblEasyEnquiryColumn", "idEnquiryColumn",
        { "cColumnName", "bShow", "iOrder" } };
    return table.Replace(payroll, enquiryId, overwrite, rows, error);
}
