#include "host/db/filter/RecordFilter.h"

#include "host/db/filter/BoundFilter.h"
#include "host/db/filter/FilterBinder.h"
#include "host/db/filter/FilterEvaluator.h"
#include "host/db/filter/RecordFilterParser.h"

namespace {

void collectFields(const FilterNode &node, std::vector<std::string> &names)
{
    auto add = [&](const FilterOperand &operand) {
        if (operand.kind == FilterOperand::Kind::Field)
            names.push_back(operand.text);
    };
    add(node.left);
    add(node.right);
    for (const FilterOperand &value : node.list)
        add(value);
    for (const auto &child : node.children)
        collectFields(*child, names);
}

} // namespace

RecordFilter::~RecordFilter() = default;

std::unique_ptr<RecordFilter> RecordFilter::parse(std::string_view text, FilterError &error)
{
    auto root = RecordFilterParser::parse(text, error);
    if (!root)
        return nullptr;
    std::unique_ptr<RecordFilter> filter(new RecordFilter());
    filter->m_text = std::string(text);
    filter->m_root = std::move(root);
    return filter;
}

std::vector<std::string> RecordFilter::fieldNames() const
{
    std::vector<std::string> names;
    collectFields(*m_root, names);
    return names;
}

bool RecordFilter::bind(const ResultColumns &columns, FilterError &error)
{
    auto bound = std::make_unique<BoundFilter>();
    if (!FilterBinder::bind(*m_root, columns, *bound, error)) {
        m_bound.reset();
        return false;
    }
    m_bound = std::move(bound);
    return true;
}

bool RecordFilter::matches(const ResultColumns &columns, std::size_t row) const
{
    return m_bound && FilterEvaluator::matches(*m_bound, columns, row);
}

void RecordFilter::select(
    const ResultColumns &columns, std::size_t begin, std::size_t end, std::vector<int> &rows) const
{
    if (m_bound)
        FilterEvaluator::select(*m_bound, columns, begin, end, rows);
}

bool RecordFilter::toSql(const ColumnResolver &column, std::string_view textCollation,
    std::string &sql, std::vector<Value> &parameters, FilterError &error) const
{
    return FilterSqlWriter::write(*m_root, column, textCollation, sql, parameters, error);
}
