#include "host/db/filter/FilterBinder.h"

#include "host/db/dataset/ResultColumns.h"
#include "host/db/engine/IsoDate.h"
#include "host/db/filter/FilterText.h"

#include <algorithm>

namespace {

using Kind = BoundFilter::Kind;
using Op = FilterNode::Op;
using Storage = ResultColumn::Storage;

Op mirrored(Op op)
{
    switch (op) {
    case Op::Less:
        return Op::Greater;
    case Op::LessEqual:
        return Op::GreaterEqual;
    case Op::Greater:
        return Op::Less;
    case Op::GreaterEqual:
        return Op::LessEqual;
    default:
        return op;
    }
}

BoundFilter::Scalar literalScalar(const FilterOperand &operand)
{
    BoundFilter::Scalar scalar;
    switch (operand.kind) {
    case FilterOperand::Kind::Number:
    case FilterOperand::Kind::Boolean:
        scalar.kind = BoundFilter::Scalar::Kind::Number;
        scalar.number = operand.number;
        scalar.text = operand.text;
        break;
    case FilterOperand::Kind::Text:
        scalar.kind = BoundFilter::Scalar::Kind::Text;
        scalar.text = operand.text;
        break;
    default:
        break;
    }
    return scalar;
}

// Whether the node reads row by row (text, LIKE, mixed types) rather than a whole block.
bool rowByRow(const BoundFilter &node)
{
    switch (node.kind) {
    case Kind::And:
    case Kind::Or:
    case Kind::Not:
        return std::any_of(node.children.begin(), node.children.end(), rowByRow);
    case Kind::TextCompare:
    case Kind::Like:
    case Kind::Generic:
        return true;
    default:
        return false;
    }
}

} // namespace

bool FilterBinder::bind(
    const FilterNode &root, const ResultColumns &columns, BoundFilter &out, FilterError &error)
{
    FilterBinder binder(columns, error);
    return binder.node(root, out);
}

bool FilterBinder::node(const FilterNode &source, BoundFilter &out)
{
    switch (source.kind) {
    case FilterNode::Kind::And:
    case FilterNode::Kind::Or:
        out.kind = source.kind == FilterNode::Kind::And ? Kind::And : Kind::Or;
        out.children.resize(source.children.size());
        for (std::size_t i = 0; i < source.children.size(); ++i) {
            if (!node(*source.children[i], out.children[i]))
                return false;
        }
        // Whole-block comparisons first: the row-by-row ones then read only the rows still
        // open. AND and OR give the same answer in any order, unknowns included.
        std::stable_partition(out.children.begin(), out.children.end(),
            [](const BoundFilter &child) { return !rowByRow(child); });
        return true;
    case FilterNode::Kind::Not:
        out.kind = Kind::Not;
        out.children.resize(1);
        return node(*source.children.front(), out.children.front());
    case FilterNode::Kind::Compare:
        return compare(source.left, source.right, source.op, out);
    case FilterNode::Kind::IsNull:
        return isNull(source, out);
    case FilterNode::Kind::Like:
        return like(source, out);
    case FilterNode::Kind::In: {
        // x IN (a, b) is x = a OR x = b, with SQL's unknowns; NOT IN negates that.
        BoundFilter any;
        any.kind = Kind::Or;
        any.children.resize(source.list.size());
        for (std::size_t i = 0; i < source.list.size(); ++i) {
            if (!compare(source.left, source.list[i], Op::Equal, any.children[i]))
                return false;
        }
        if (!source.negated) {
            out = std::move(any);
        } else {
            out.kind = Kind::Not;
            out.children.push_back(std::move(any));
        }
        return true;
    }
    }
    return false;
}

bool FilterBinder::compare(
    const FilterOperand &leftSource, const FilterOperand &rightSource, Op op, BoundFilter &out)
{
    const FilterOperand *left = &leftSource;
    const FilterOperand *right = &rightSource;
    if (left->kind != FilterOperand::Kind::Field && right->kind == FilterOperand::Kind::Field) {
        std::swap(left, right);
        op = mirrored(op);
    }
    out.op = op;
    if (left->kind == FilterOperand::Kind::Null || right->kind == FilterOperand::Kind::Null) {
        out.kind = Kind::Constant;
        out.constant.reset();
        return (left->kind != FilterOperand::Kind::Field || resolve(*left, out.field))
            && (right->kind != FilterOperand::Kind::Field || resolve(*right, out.field));
    }
    if (left->kind != FilterOperand::Kind::Field || right->kind == FilterOperand::Kind::Field) {
        out.kind = Kind::Generic;
        return operand(*left, out.a) && operand(*right, out.b);
    }
    if (!resolve(*left, out.field))
        return false;
    const ResultColumn &column = m_columns.column(out.field);
    switch (column.storage()) {
    case Storage::Pending:
        out.kind = Kind::Constant; // no values at all: every comparison is unknown
        out.constant.reset();
        return true;
    case Storage::Text:
    case Storage::Bytes:
        // As SQL compares a text column with a number: with the number as written.
        out.kind = Kind::TextCompare;
        out.text = FilterText::fold(right->text);
        return true;
    case Storage::Date: {
        const auto ms
            = right->kind == FilterOperand::Kind::Text ? IsoDate::parse(right->text) : std::nullopt;
        if (!ms) {
            return fail(right->position,
                "\"" + column.name()
                    + "\" is a date: compare it with a date written as 'YYYY-MM-DD'");
        }
        out.kind = Kind::IntegerCompare;
        out.integer = *ms;
        return true;
    }
    case Storage::Integer:
    case Storage::Real:
        break;
    }
    double number = right->number;
    std::int64_t whole = right->whole;
    bool integral = right->integral;
    if (right->kind == FilterOperand::Kind::Text) {
        const std::string lower = FilterText::fold(right->text);
        if (column.type() == FieldType::Boolean && (lower == "true" || lower == "false")) {
            whole = lower == "true";
            number = static_cast<double>(whole);
            integral = true;
        } else if (!FilterText::parseNumber(right->text, number, whole, integral)) {
            return fail(right->position,
                "\"" + column.name() + "\" is a number: '" + right->text + "' is not one");
        }
    }
    if (integral && column.storage() == Storage::Integer) {
        out.kind = Kind::IntegerCompare;
        out.integer = whole;
    } else {
        out.kind = Kind::RealCompare;
        out.real = number;
    }
    return true;
}

bool FilterBinder::isNull(const FilterNode &source, BoundFilter &out)
{
    if (source.left.kind != FilterOperand::Kind::Field) {
        out.kind = Kind::Constant;
        out.constant = (source.left.kind == FilterOperand::Kind::Null) != source.negated;
        return true;
    }
    out.kind = Kind::IsNull;
    out.negated = source.negated;
    return resolve(source.left, out.field);
}

bool FilterBinder::like(const FilterNode &source, BoundFilter &out)
{
    out.kind = Kind::Like;
    out.negated = source.negated;
    if (source.left.kind == FilterOperand::Kind::Null
        || source.right.kind == FilterOperand::Kind::Null) {
        out.kind = Kind::Constant;
        out.constant.reset();
        return true;
    }
    if (source.left.kind == FilterOperand::Kind::Field
        && source.right.kind != FilterOperand::Kind::Field) {
        int field;
        if (!resolve(source.left, field))
            return false;
        const Storage storage = m_columns.column(field).storage();
        if (storage == Storage::Text || storage == Storage::Bytes) {
            out.field = field;
            out.text = FilterText::fold(source.right.text);
            return true;
        }
    }
    // Numbers and dates match by their printed form, one row at a time.
    return operand(source.left, out.a) && operand(source.right, out.b);
}

bool FilterBinder::operand(const FilterOperand &source, BoundFilter::Operand &out)
{
    if (source.kind == FilterOperand::Kind::Field)
        return resolve(source, out.field);
    out.literal = literalScalar(source);
    return true;
}

bool FilterBinder::resolve(const FilterOperand &operand, int &field)
{
    field = m_columns.indexOf(operand.text);
    if (field >= 0)
        return true;
    m_error = unknownField(operand);
    return false;
}

bool FilterBinder::fail(std::size_t position, std::string message)
{
    m_error.position = position;
    m_error.message = std::move(message);
    return false;
}
