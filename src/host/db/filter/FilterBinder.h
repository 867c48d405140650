#pragma once

#include "host/db/filter/BoundFilter.h"
#include "host/db/filter/FilterNode.h"

class ResultColumns;

// Binds a parsed filter to a set of columns: each field name to its column (letter case
// ignored), each literal compared with a field to that field's storage. A literal the field
// cannot hold is refused here, once, rather than found unknown on every row: a date field
// takes 'YYYY-MM-DD' (optionally with a time), a number field a number ('true' and 'false' for
// a boolean one).
class FilterBinder
{
public:
    // False with the first unknown field or unfit literal.
    static bool bind(
        const FilterNode &root, const ResultColumns &columns, BoundFilter &out, FilterError &error);

private:
    FilterBinder(const ResultColumns &columns, FilterError &error)
        : m_columns(columns)
        , m_error(error)
    {
    }

    bool node(const FilterNode &source, BoundFilter &out);
    bool compare(const FilterOperand &leftSource, const FilterOperand &rightSource,
        FilterNode::Op op, BoundFilter &out);
    bool isNull(const FilterNode &source, BoundFilter &out);
    bool like(const FilterNode &source, BoundFilter &out);
    bool operand(const FilterOperand &source, BoundFilter::Operand &out);
    bool resolve(const FilterOperand &operand, int &field);
    bool fail(std::size_t position, std::string message);

    const ResultColumns &m_columns;
    FilterError &m_error;
};
