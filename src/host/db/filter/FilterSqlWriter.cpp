#include "host/db/filter/FilterSqlWriter.h"

namespace {

const char *sqlOperator(FilterNode::Op op)
{
    switch (op) {
    case FilterNode::Op::Equal:
        return " = ";
    case FilterNode::Op::NotEqual:
        return " <> ";
    case FilterNode::Op::Less:
        return " < ";
    case FilterNode::Op::LessEqual:
        return " <= ";
    case FilterNode::Op::Greater:
        return " > ";
    case FilterNode::Op::GreaterEqual:
        return " >= ";
    }
    return " = ";
}

} // namespace

bool FilterSqlWriter::write(const FilterNode &root, const ColumnResolver &column,
    std::string_view textCollation, std::string &sql, std::vector<Value> &parameters,
    FilterError &error)
{
    FilterSqlWriter writer(column, textCollation, sql, parameters, error);
    return writer.node(root);
}

bool FilterSqlWriter::node(const FilterNode &source)
{
    switch (source.kind) {
    case FilterNode::Kind::And:
    case FilterNode::Kind::Or:
        m_sql += '(';
        for (std::size_t i = 0; i < source.children.size(); ++i) {
            if (i)
                m_sql += source.kind == FilterNode::Kind::And ? " AND " : " OR ";
            if (!node(*source.children[i]))
                return false;
        }
        m_sql += ')';
        return true;
    case FilterNode::Kind::Not:
        m_sql += "NOT (";
        if (!node(*source.children.front()))
            return false;
        m_sql += ')';
        return true;
    case FilterNode::Kind::Compare:
        if (!operand(source.left))
            return false;
        // Two fields may both be texts, which the grid compares without letter case too.
        collate(source.left.kind == FilterOperand::Kind::Text
            || source.right.kind == FilterOperand::Kind::Text
            || (source.left.kind == FilterOperand::Kind::Field
                && source.right.kind == FilterOperand::Kind::Field));
        m_sql += sqlOperator(source.op);
        return operand(source.right);
    case FilterNode::Kind::Like:
        if (!operand(source.left))
            return false;
        m_sql += source.negated ? " NOT LIKE " : " LIKE ";
        return operand(source.right);
    case FilterNode::Kind::IsNull:
        if (!operand(source.left))
            return false;
        m_sql += source.negated ? " IS NOT NULL" : " IS NULL";
        return true;
    case FilterNode::Kind::In: {
        bool text = false;
        for (const FilterOperand &value : source.list)
            text = text || value.kind == FilterOperand::Kind::Text;
        if (!operand(source.left))
            return false;
        collate(text);
        m_sql += source.negated ? " NOT IN (" : " IN (";
        for (std::size_t i = 0; i < source.list.size(); ++i) {
            if (i)
                m_sql += ", ";
            if (!operand(source.list[i]))
                return false;
        }
        m_sql += ')';
        return true;
    }
    }
    return false;
}

void FilterSqlWriter::collate(bool text)
{
    if (text)
        m_sql += m_collation;
}

bool FilterSqlWriter::operand(const FilterOperand &source)
{
    switch (source.kind) {
    case FilterOperand::Kind::Field: {
        const std::optional<std::string> column = m_column(source.text);
        if (!column) {
            m_error = unknownField(source);
            return false;
        }
        m_sql += *column;
        return true;
    }
    case FilterOperand::Kind::Number:
    case FilterOperand::Kind::Boolean:
        m_sql += '?';
        if (source.integral)
            m_parameters.emplace_back(source.whole);
        else
            m_parameters.emplace_back(source.number);
        return true;
    case FilterOperand::Kind::Text:
        m_sql += '?';
        m_parameters.emplace_back(source.text);
        return true;
    case FilterOperand::Kind::Null:
        m_sql += "NULL";
        return true;
    }
    return false;
}
