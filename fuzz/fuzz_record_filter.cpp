// The grid's record filter reads whatever a person types: parse any bytes, print every parsed
// filter as SQL, and evaluate it over a few rows of every kind, where the block path and the
// one-row path must agree.
#include "host/db/dataset/ResultColumns.h"
#include "host/db/filter/RecordFilter.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const ResultColumns &sampleRows()
{
    static ResultColumns *columns = [] {
        auto *rows = new ResultColumns();
        rows->addColumn("n", FieldType::Integer);
        rows->addColumn("r", FieldType::Float);
        rows->addColumn("t", FieldType::String);
        rows->addColumn("d", FieldType::DateTime);
        rows->addColumn("b", FieldType::Boolean);
        rows->addColumn("x", FieldType::Blob);
        rows->addColumn("o", FieldType::Other);
        using V = std::vector<Value>;
        rows->appendRow(V { std::int64_t(1), 12.5, "ab", "2024-01-31", std::int64_t(1),
            Blob { { 0, 255 } }, "2024-01-31" });
        rows->appendRow(V { {}, {}, {}, {}, {}, {}, {} });
        rows->appendRow(V { std::int64_t(-7), -1.5e3, "x'y\xC3\xA9%_", "1999-12-31 23:59:59.5",
            std::int64_t(0), Blob {}, "word" });
        rows->appendRow(V { INT64_MAX, 1e300, "", "2024-02-29 10:00:00", std::int64_t(1), {}, {} });
        rows->finish();
        return rows;
    }();
    return *columns;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    FilterError error;
    auto filter = RecordFilter::parse(text, error);
    if (!filter) {
        if (error.position > size || error.message.empty())
            std::abort();
        return 0;
    }
    std::string sql;
    std::vector<Value> parameters;
    const auto quoted = [](std::string_view name) -> std::optional<std::string> {
        return "\"" + std::string(name) + "\"";
    };
    if (!filter->toSql(quoted, " COLLATE NOCASE", sql, parameters, error) || sql.empty())
        std::abort();

    const ResultColumns &columns = sampleRows();
    if (!filter->bind(columns, error)) {
        if (error.position > size)
            std::abort();
        return 0;
    }
    std::vector<int> selected;
    filter->select(columns, 0, columns.rowCount(), selected);
    std::size_t next = 0;
    for (std::size_t row = 0; row < columns.rowCount(); ++row) {
        const bool listed = next < selected.size() && selected[next] == static_cast<int>(row);
        if (listed)
            ++next;
        if (filter->matches(columns, row) != listed)
            std::abort();
    }
    if (next != selected.size())
        std::abort();
    return 0;
}
