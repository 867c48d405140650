#pragma once

#include "host/db/engine/Value.h"
#include "host/db/filter/FilterNode.h"
#include "host/db/filter/FilterSqlWriter.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct BoundFilter;
class ResultColumns;

// The grid's record filter: "cName = 'Smith' AND nTotal > 100" (grammar: RecordFilterParser).
//
// Comparisons follow SQL: a NULL operand makes a comparison unknown, and NOT of unknown stays
// unknown, so only rows where the whole filter is true pass. Text compares and LIKE ignore the
// letter case of A-Z. A text literal compared with a date field must be a date ('YYYY-MM-DD',
// optionally with a time); one compared with a number field must be a number.
//
// Bound to a set of columns (FilterBinder), a filter reads the typed column storage directly, a
// block of rows at a time (FilterEvaluator); the same filter also prints itself as SQL with "?"
// placeholders for the literals (FilterSqlWriter).
class RecordFilter
{
public:
    ~RecordFilter();
    RecordFilter(const RecordFilter &) = delete;
    RecordFilter &operator=(const RecordFilter &) = delete;

    // nullptr and the first fault when the text does not parse.
    static std::unique_ptr<RecordFilter> parse(std::string_view text, FilterError &error);

    const std::string &text() const { return m_text; }
    std::vector<std::string> fieldNames() const; // as written, in order of appearance

    // Resolves the field names against the columns; false with the first unknown field. Bind
    // again after the columns change their storage (edits may widen a column to text).
    bool bind(const ResultColumns &columns, FilterError &error);
    bool isBound() const { return m_bound != nullptr; }

    bool matches(const ResultColumns &columns, std::size_t row) const;
    // Appends the rows of [begin, end) that pass, in order.
    void select(const ResultColumns &columns, std::size_t begin, std::size_t end,
        std::vector<int> &rows) const;

    // The condition as SQL. `column` gives the SQL for a field name (nullopt: unknown field,
    // which is refused); every literal becomes "?" with its value appended to `parameters`.
    // `textCollation` (" COLLATE NOCASE") follows the left side of each comparison that may be
    // of texts: with a text literal, or of two fields.
    using ColumnResolver = FilterSqlWriter::ColumnResolver;
    bool toSql(const ColumnResolver &column, std::string_view textCollation, std::string &sql,
        std::vector<Value> &parameters, FilterError &error) const;

private:
    RecordFilter() = default;

    std::string m_text;
    std::unique_ptr<FilterNode> m_root;
    std::unique_ptr<BoundFilter> m_bound;
};
