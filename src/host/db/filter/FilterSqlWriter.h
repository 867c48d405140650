#pragma once

#include "host/db/engine/Value.h"
#include "host/db/filter/FilterNode.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Prints a parsed filter as an SQL condition for the database to run (see RecordFilter::toSql).
class FilterSqlWriter
{
public:
    using ColumnResolver = std::function<std::optional<std::string>(std::string_view name)>;

    // False with the first field that `column` does not know.
    static bool write(const FilterNode &root, const ColumnResolver &column,
        std::string_view textCollation, std::string &sql, std::vector<Value> &parameters,
        FilterError &error);

private:
    FilterSqlWriter(const ColumnResolver &column, std::string_view collation, std::string &sql,
        std::vector<Value> &parameters, FilterError &error)
        : m_column(column)
        , m_collation(collation)
        , m_sql(sql)
        , m_parameters(parameters)
        , m_error(error)
    {
    }

    bool node(const FilterNode &source);
    bool operand(const FilterOperand &source);
    void collate(bool text);

    const ColumnResolver &m_column;
    std::string_view m_collation;
    std::string &m_sql;
    std::vector<Value> &m_parameters;
    FilterError &m_error;
};
