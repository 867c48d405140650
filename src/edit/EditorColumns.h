#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class Connection;

// One result column in the editor's Column Details list; its 1-based position in the list is
// its place in the result.
struct EditorColumn
{
    QString name; // as the engine reports it, kept to the stored column's 50 characters
    bool show = false;
    int order = 0;

    bool operator==(const EditorColumn &) const = default;
};

inline constexpr int kColumnNameLength = 50;
// A new statement shows this many of its first columns.
inline constexpr int kShownColumns = 10;

// The list of a new or changed statement: the first ten shown, orders 1..n.
std::vector<EditorColumn> NewEditorColumns(const std::vector<std::string> &names);

// Settings kept for a column name, or nullopt for a column the IQ did not have before.
using ColumnSettingsLookup = std::function<std::optional<EditorColumn>(const QString &name)>;
// The list of a statement opened with settings: a known column takes them; a new one is hidden
// and ordered after the largest stored order `maxOrder`, each new one after the one before.
std::vector<EditorColumn> ApplyColumnSettings(
    const std::vector<std::string> &names, int maxOrder, const ColumnSettingsLookup &lookup);
// The same with the IQ's stored column rows: one bound lookup per column. False with `error`.
bool ApplyStoredColumns(Connection &payroll, int enquiryId, const std::vector<std::string> &names,
    std::vector<EditorColumn> &columns, QString &error);

// A person typed `order` for the column at `index`. When another column holds that order, it
// and the columns after it (up to the old order when moving down) move one place later; gaps
// are not closed, only the relative order counts.
void ChangeColumnOrder(std::vector<EditorColumn> &columns, std::size_t index, int order);

// Writes the list as the IQ's column rows (overwrite, extend, trim as StoredRows does). Runs
// inside the caller's transaction; false with `error`.
bool SaveEditorColumns(Connection &payroll, int enquiryId, bool overwrite,
    const std::vector<EditorColumn> &columns, QString &error);
