#include "host/db/filter/FilterEvaluator.h"

#include "host/db/dataset/ResultColumns.h"
#include "host/db/filter/BoundFilter.h"
#include "host/db/filter/FilterText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <functional>
#include <optional>

namespace {

using Kind = BoundFilter::Kind;
using Op = FilterNode::Op;
using Scalar = BoundFilter::Scalar;
using Storage = ResultColumn::Storage;

// Rows are evaluated 1024 at a time: the masks stay in the first-level cache, and a block never
// crosses a chunk of the column store, as its scans require.
constexpr std::size_t kBlockRows = 1024;
constexpr std::size_t kBlockWords = kBlockRows / 64;
static_assert(ResultColumn::kChunkRows % kBlockRows == 0);
using Mask = std::array<std::uint64_t, kBlockWords>;

std::size_t wordsFor(std::size_t count)
{
    return (count + 63) / 64;
}

std::uint64_t validBits(std::size_t count, std::size_t word)
{
    const std::size_t rows = std::min<std::size_t>(64, count - word * 64);
    return rows == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << rows) - 1;
}

bool holds(Op op, int order)
{
    switch (op) {
    case Op::Equal:
        return order == 0;
    case Op::NotEqual:
        return order != 0;
    case Op::Less:
        return order < 0;
    case Op::LessEqual:
        return order <= 0;
    case Op::Greater:
        return order > 0;
    case Op::GreaterEqual:
        return order >= 0;
    }
    return false;
}

// Unknown (nullopt) when either side is NULL or a text is compared with a number it is not.
std::optional<bool> compareScalars(const Scalar &a, const Scalar &b, Op op)
{
    if (a.kind == Scalar::Kind::Null || b.kind == Scalar::Kind::Null)
        return std::nullopt;
    if (a.kind == Scalar::Kind::Text && b.kind == Scalar::Kind::Text)
        return holds(op, FilterText::compareFolded(a.text, FilterText::fold(b.text)));
    double x = a.number, y = b.number;
    std::int64_t whole;
    bool integral;
    if (a.kind == Scalar::Kind::Text && !FilterText::parseNumber(a.text, x, whole, integral))
        return std::nullopt;
    if (b.kind == Scalar::Kind::Text && !FilterText::parseNumber(b.text, y, whole, integral))
        return std::nullopt;
    return holds(op, x < y ? -1 : (x > y ? 1 : 0));
}

Scalar scalarAt(const BoundFilter::Operand &operand, const ResultColumns &columns, std::size_t row)
{
    if (operand.field < 0)
        return operand.literal;
    const ResultColumn &column = columns.column(operand.field);
    Scalar scalar;
    if (column.storage() == Storage::Pending || column.isNull(row))
        return scalar;
    if (column.storage() == Storage::Text || column.storage() == Storage::Bytes) {
        scalar.kind = Scalar::Kind::Text;
        scalar.text = std::string(column.textAt(row));
    } else {
        scalar.kind = Scalar::Kind::Number;
        scalar.number = column.numberAt(row);
    }
    return scalar;
}

std::optional<std::string> printedAt(
    const BoundFilter::Operand &operand, const ResultColumns &columns, std::size_t row)
{
    if (operand.field < 0) {
        if (operand.literal.kind == Scalar::Kind::Null)
            return std::nullopt;
        return operand.literal.text;
    }
    const ResultColumn &column = columns.column(operand.field);
    if (column.storage() == Storage::Pending || column.isNull(row))
        return std::nullopt;
    return column.displayText(row);
}

// `values` is one of the column's spans; `read` gives each value as a T.
template <typename T, typename Values, typename Read, typename Compare>
void compareValues(const Values &values, T constant, Read read, Compare compare, Mask &out)
{
    const std::size_t count = values.size();
    for (std::size_t w = 0; w < wordsFor(count); ++w) {
        const std::size_t rows = std::min<std::size_t>(64, count - w * 64);
        const std::size_t base = w * 64;
        std::uint64_t bits = 0;
        std::size_t k = 0;
        // Eight at a time with fixed shifts, which the compiler turns into vector compares;
        // one shift per row by a running count would chain every row to the one before.
        for (; k + 8 <= rows; k += 8) {
            std::uint64_t byte = 0;
            for (std::size_t j = 0; j < 8; ++j)
                byte |= std::uint64_t(compare(read(values[base + k + j]), constant)) << j;
            bits |= byte << k;
        }
        for (; k < rows; ++k)
            bits |= std::uint64_t(compare(read(values[base + k]), constant)) << k;
        out[w] = bits;
    }
}

template <typename T, typename Values, typename Read>
void compareValuesBy(Op op, const Values &values, T constant, Read read, Mask &out)
{
    switch (op) {
    case Op::Equal:
        return compareValues(values, constant, read, std::equal_to<T>(), out);
    case Op::NotEqual:
        return compareValues(values, constant, read, std::not_equal_to<T>(), out);
    case Op::Less:
        return compareValues(values, constant, read, std::less<T>(), out);
    case Op::LessEqual:
        return compareValues(values, constant, read, std::less_equal<T>(), out);
    case Op::Greater:
        return compareValues(values, constant, read, std::greater<T>(), out);
    case Op::GreaterEqual:
        return compareValues(values, constant, read, std::greater_equal<T>(), out);
    }
}

template <typename Visit> void forEachActive(const Mask &active, std::size_t count, Visit visit)
{
    for (std::size_t w = 0; w < wordsFor(count); ++w) {
        std::uint64_t bits = active[w];
        while (bits) {
            visit(w * 64 + static_cast<std::size_t>(std::countr_zero(bits)));
            bits &= bits - 1;
        }
    }
}

// Sets the bit of every active row whose text passes `test`.
template <typename Test>
void testTexts(const ResultColumn::TextSpan &texts, const Mask &active, Test test, Mask &result)
{
    const std::size_t count = texts.size();
    for (std::size_t w = 0; w < wordsFor(count); ++w) {
        std::uint64_t bits = active[w];
        std::uint64_t passed = 0; // kept in a register, stored once per 64 rows
        while (bits) {
            const int k = std::countr_zero(bits);
            passed |= std::uint64_t(test(texts[w * 64 + static_cast<std::size_t>(k)])) << k;
            bits &= bits - 1;
        }
        result[w] = passed;
    }
    for (std::size_t w = wordsFor(count); w < result.size(); ++w)
        result[w] = 0;
}

void evaluateRows(std::size_t begin, std::size_t count, const Mask &active, Mask &yes, Mask &no,
    const std::function<std::optional<bool>(std::size_t)> &test)
{
    yes.fill(0);
    no.fill(0);
    forEachActive(active, count, [&](std::size_t k) {
        const std::optional<bool> result = test(begin + k);
        if (result)
            (*result ? yes : no)[k >> 6] |= std::uint64_t(1) << (k & 63);
    });
}

// The field's texts against the folded constant or pattern of a TextCompare or Like node.
void compareTexts(
    const BoundFilter &node, const ResultColumn::TextSpan &texts, const Mask &active, Mask &result)
{
    const std::string &text = node.text;
    const bool equal = node.op == Op::Equal;
    if (node.kind == Kind::Like) {
        testTexts(
            texts, active,
            [&](std::string_view value) { return FilterText::like(value, text) != node.negated; },
            result);
    } else if ((equal || node.op == Op::NotEqual) && text.size() <= 8) {
        // The usual grid filter, a code or a short name: the constant is one word.
        const std::size_t n = text.size();
        const std::uint64_t wanted = FilterText::loadUpTo8(text.data(), n);
        testTexts(
            texts, active,
            [&](std::string_view value) {
                return (value.size() == n
                           && FilterText::foldWord(FilterText::loadUpTo8(value.data(), n))
                               == wanted)
                    == equal;
            },
            result);
    } else if (equal || node.op == Op::NotEqual) {
        testTexts(
            texts, active,
            [&](std::string_view value) { return FilterText::equalsFolded(value, text) == equal; },
            result);
    } else {
        testTexts(
            texts, active,
            [&](std::string_view value) {
                return holds(node.op, FilterText::compareFolded(value, text));
            },
            result);
    }
}

// Results for the rows of `active`; other rows may hold anything a parent ignores anyway (AND
// skips rows already false, OR rows already true).
void evaluate(const BoundFilter &node, const ResultColumns &columns, std::size_t begin,
    std::size_t count, const Mask &active, Mask &yes, Mask &no)
{
    const std::size_t words = wordsFor(count);
    switch (node.kind) {
    case Kind::And:
    case Kind::Or: {
        const bool isAnd = node.kind == Kind::And;
        Mask childYes, childNo, open;
        evaluate(node.children.front(), columns, begin, count, active, yes, no);
        for (std::size_t c = 1; c < node.children.size(); ++c) {
            // Rows already decided need no further reading.
            bool any = false;
            for (std::size_t w = 0; w < words; ++w) {
                open[w] = active[w] & ~(isAnd ? no[w] : yes[w]);
                any = any || open[w];
            }
            if (!any)
                return;
            evaluate(node.children[c], columns, begin, count, open, childYes, childNo);
            for (std::size_t w = 0; w < words; ++w) {
                if (isAnd) {
                    yes[w] &= childYes[w];
                    no[w] |= childNo[w];
                } else {
                    yes[w] |= childYes[w];
                    no[w] &= childNo[w];
                }
            }
        }
        return;
    }
    case Kind::Not:
        evaluate(node.children.front(), columns, begin, count, active, no, yes);
        return;
    case Kind::Constant:
        for (std::size_t w = 0; w < words; ++w) {
            yes[w] = node.constant && *node.constant ? validBits(count, w) : 0;
            no[w] = node.constant && !*node.constant ? validBits(count, w) : 0;
        }
        return;
    case Kind::Generic:
        evaluateRows(begin, count, active, yes, no, [&](std::size_t row) {
            return compareScalars(
                scalarAt(node.a, columns, row), scalarAt(node.b, columns, row), node.op);
        });
        return;
    default:
        break;
    }
    if (node.kind == Kind::Like && node.field < 0) {
        evaluateRows(begin, count, active, yes, no, [&](std::size_t row) -> std::optional<bool> {
            const std::optional<std::string> value = printedAt(node.a, columns, row);
            const std::optional<std::string> pattern = printedAt(node.b, columns, row);
            if (!value || !pattern)
                return std::nullopt;
            return FilterText::like(*value, FilterText::fold(*pattern)) != node.negated;
        });
        return;
    }

    const ResultColumn &column = columns.column(node.field);
    Mask nulls;
    column.nullBits(begin, count, nulls.data());
    if (node.kind == Kind::IsNull) {
        for (std::size_t w = 0; w < words; ++w) {
            const std::uint64_t valid = validBits(count, w);
            yes[w] = node.negated ? ~nulls[w] & valid : nulls[w];
            no[w] = node.negated ? nulls[w] : ~nulls[w] & valid;
        }
        return;
    }

    Mask result;
    switch (node.kind) {
    case Kind::IntegerCompare:
        compareValuesBy(
            node.op, column.integers(begin, count), node.integer,
            [](std::int64_t word) { return word; }, result);
        break;
    case Kind::RealCompare:
        if (column.storage() == Storage::Real) {
            compareValuesBy(
                node.op, column.reals(begin, count), node.real, [](double value) { return value; },
                result);
        } else {
            compareValuesBy(
                node.op, column.integers(begin, count), node.real,
                [](std::int64_t word) { return static_cast<double>(word); }, result);
        }
        break;
    case Kind::TextCompare:
    case Kind::Like:
        compareTexts(node, column.texts(begin, count), active, result);
        break;
    default:
        result.fill(0);
        break;
    }
    for (std::size_t w = 0; w < words; ++w) {
        const std::uint64_t known = ~nulls[w] & validBits(count, w);
        yes[w] = result[w] & known;
        no[w] = ~result[w] & known;
    }
}

} // namespace

bool FilterEvaluator::matches(
    const BoundFilter &filter, const ResultColumns &columns, std::size_t row)
{
    if (row >= columns.rowCount())
        return false;
    Mask active {}, yes, no;
    active[0] = 1;
    evaluate(filter, columns, row, 1, active, yes, no);
    return yes[0] & 1u;
}

void FilterEvaluator::select(const BoundFilter &filter, const ResultColumns &columns,
    std::size_t begin, std::size_t end, std::vector<int> &rows)
{
    end = std::min(end, columns.rowCount());
    Mask yes, no;
    std::size_t row = begin;
    while (row < end) {
        const std::size_t blockEnd = std::min(end, (row / kBlockRows + 1) * kBlockRows);
        const std::size_t count = blockEnd - row;
        Mask active;
        for (std::size_t w = 0; w < kBlockWords; ++w)
            active[w] = w < wordsFor(count) ? validBits(count, w) : 0;
        evaluate(filter, columns, row, count, active, yes, no);
        for (std::size_t w = 0; w < wordsFor(count); ++w) {
            std::uint64_t bits = yes[w] & active[w];
            while (bits) {
                const int bit = std::countr_zero(bits);
                rows.push_back(static_cast<int>(row + w * 64 + static_cast<std::size_t>(bit)));
                bits &= bits - 1;
            }
        }
        row = blockEnd;
    }
}
