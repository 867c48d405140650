#include "host/db/filter/RecordFilter.h"

#include "host/db/dataset/ResultColumns.h"
#include "host/db/engine/IsoDate.h"
#include "host/db/filter/RecordFilterParser.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <functional>

namespace {

using Op = FilterNode::Op;
using Storage = ResultColumn::Storage;

// Rows are evaluated 1024 at a time: the masks stay in the first-level cache and a block never
// crosses a chunk (whose rows are a power of two above 1024).
constexpr std::size_t kBlockRows = 1024;
constexpr std::size_t kBlockWords = kBlockRows / 64;
static_assert(ResultColumn::kChunkRows % kBlockRows == 0);
using Mask = std::array<std::uint64_t, kBlockWords>;

const std::array<unsigned char, 256> kFold = [] {
    std::array<unsigned char, 256> table {};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)]
            = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return table;
}();

std::string folded(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = static_cast<char>(kFold[static_cast<unsigned char>(c)]);
    return out;
}

// Compares `text` with an already folded constant, ignoring the letter case of A-Z.
int compareFolded(std::string_view text, std::string_view constant)
{
    const std::size_t length = std::min(text.size(), constant.size());
    for (std::size_t i = 0; i < length; ++i) {
        const unsigned char a = kFold[static_cast<unsigned char>(text[i])];
        const unsigned char b = static_cast<unsigned char>(constant[i]);
        if (a != b)
            return a < b ? -1 : 1;
    }
    return text.size() == constant.size() ? 0 : (text.size() < constant.size() ? -1 : 1);
}

// Up to eight bytes as one little-endian word, the rest zero, without reading past `n`.
std::uint64_t loadUpTo8(const char *p, std::size_t n)
{
    std::uint64_t word = 0;
    if (n >= 8) {
        std::memcpy(&word, p, 8);
    } else if (n >= 4) { // two overlapping halves; the shared bytes are the same
        std::uint32_t low, high;
        std::memcpy(&low, p, 4);
        std::memcpy(&high, p + n - 4, 4);
        word = low | std::uint64_t(high) << (8 * (n - 4));
    } else if (n > 0) {
        const auto byte
            = [p](std::size_t i) { return std::uint64_t(static_cast<unsigned char>(p[i])); };
        word = byte(0) | byte(n / 2) << (8 * (n / 2)) | byte(n - 1) << (8 * (n - 1));
    }
    return word;
}

// A-Z to a-z in eight bytes at once, like kFold; other bytes stay.
std::uint64_t foldWord(std::uint64_t x)
{
    constexpr std::uint64_t ones = 0x0101010101010101ULL;
    constexpr std::uint64_t high = 0x8080808080808080ULL;
    const std::uint64_t low7 = x & ~high;
    const std::uint64_t atLeastA = low7 + (0x80 - 'A') * ones; // high bit: byte >= 'A'
    const std::uint64_t aboveZ = low7 + (0x80 - 'Z' - 1) * ones; // high bit: byte > 'Z'
    const std::uint64_t upper = atLeastA & ~aboveZ & ~x & high; // and an ASCII byte
    return x | (upper >> 2); // 0x80 >> 2 is the 0x20 between the cases
}

// Equality with an already folded constant, ignoring the letter case of A-Z: a word at a time
// and without a branch per byte, for the grid filter's "field = 'text'" over many rows.
bool equalsFolded(std::string_view text, std::string_view constant)
{
    if (text.size() != constant.size())
        return false;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        if (foldWord(loadUpTo8(text.data() + i, 8)) != loadUpTo8(constant.data() + i, 8))
            return false;
    }
    const std::size_t rest = text.size() - i;
    return foldWord(loadUpTo8(text.data() + i, rest)) == loadUpTo8(constant.data() + i, rest);
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

const char *sqlOperator(Op op)
{
    switch (op) {
    case Op::Equal:
        return " = ";
    case Op::NotEqual:
        return " <> ";
    case Op::Less:
        return " < ";
    case Op::LessEqual:
        return " <= ";
    case Op::Greater:
        return " > ";
    case Op::GreaterEqual:
        return " >= ";
    }
    return " = ";
}

// LIKE with % (any run) and _ (one character), on text and an already folded pattern.
bool likeMatch(std::string_view text, std::string_view pattern)
{
    std::size_t t = 0, p = 0;
    std::size_t starP = std::string_view::npos, starT = 0;
    auto charLength = [&](std::size_t at) {
        std::size_t length = 1;
        while (at + length < text.size()
            && (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80)
            ++length;
        return length;
    };
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '%') {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && pattern[p] == '_') {
            ++p;
            t += charLength(t);
        } else if (p < pattern.size()
            && kFold[static_cast<unsigned char>(text[t])]
                == static_cast<unsigned char>(pattern[p])) {
            ++p;
            ++t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            starT += charLength(starT);
            t = starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '%')
        ++p;
    return p == pattern.size();
}

bool parseNumber(std::string_view text, double &number, std::int64_t &whole, bool &integral)
{
    const char *begin = text.data();
    const char *end = begin + text.size();
    const auto real = std::from_chars(begin, end, number);
    if (text.empty() || real.ec != std::errc() || real.ptr != end)
        return false;
    const auto integer = std::from_chars(begin, end, whole);
    integral = integer.ec == std::errc() && integer.ptr == end;
    return true;
}

// A value while comparing outside the fast paths.
struct Scalar
{
    enum class Kind { Null, Number, Text };
    Kind kind = Kind::Null;
    double number = 0;
    std::string text;
};

Scalar literalScalar(const FilterOperand &operand)
{
    Scalar scalar;
    switch (operand.kind) {
    case FilterOperand::Kind::Number:
    case FilterOperand::Kind::Boolean:
        scalar.kind = Scalar::Kind::Number;
        scalar.number = operand.number;
        scalar.text = operand.text;
        break;
    case FilterOperand::Kind::Text:
        scalar.kind = Scalar::Kind::Text;
        scalar.text = operand.text;
        break;
    default:
        break;
    }
    return scalar;
}

// Unknown (nullopt) when either side is NULL or a text is compared with a number it is not.
std::optional<bool> compareScalars(const Scalar &a, const Scalar &b, Op op)
{
    if (a.kind == Scalar::Kind::Null || b.kind == Scalar::Kind::Null)
        return std::nullopt;
    if (a.kind == Scalar::Kind::Text && b.kind == Scalar::Kind::Text)
        return holds(op, compareFolded(a.text, folded(b.text)));
    double x = a.number, y = b.number;
    std::int64_t whole;
    bool integral;
    if (a.kind == Scalar::Kind::Text && !parseNumber(a.text, x, whole, integral))
        return std::nullopt;
    if (b.kind == Scalar::Kind::Text && !parseNumber(b.text, y, whole, integral))
        return std::nullopt;
    return holds(op, x < y ? -1 : (x > y ? 1 : 0));
}

} // namespace

// The filter bound to columns: field names resolved, literals converted to the field's storage.
struct RecordFilter::Compiled
{
    enum class Kind {
        And,
        Or,
        Not,
        Constant,
        IntegerCompare,
        RealCompare,
        TextCompare,
        IsNull,
        Like,
        Generic
    };

    struct Operand
    {
        int field = -1; // -1: the literal
        Scalar literal;
    };

    Kind kind = Kind::Constant;
    Op op = Op::Equal;
    bool negated = false;
    std::vector<Compiled> children;
    int field = -1;
    std::int64_t integer = 0;
    double real = 0;
    std::string text; // folded constant or LIKE pattern
    std::optional<bool> constant; // Constant: true, false or unknown
    Operand a, b;

    // Results for the rows of `active`; other rows may hold anything a parent ignores anyway
    // (AND skips rows already false, OR rows already true).
    void evaluate(const ResultColumns &columns, std::size_t begin, std::size_t count,
        const Mask &active, Mask &yes, Mask &no) const;
    // Whether the node reads row by row (text, LIKE, mixed types) rather than a whole block.
    bool rowByRow() const;

private:
    void evaluateRows(std::size_t begin, std::size_t count, const Mask &active, Mask &yes, Mask &no,
        const std::function<std::optional<bool>(std::size_t)> &test) const;
    Scalar scalarAt(const Operand &operand, const ResultColumns &columns, std::size_t row) const;
    std::optional<std::string> printedAt(
        const Operand &operand, const ResultColumns &columns, std::size_t row) const;
};

namespace {

std::size_t wordsFor(std::size_t count)
{
    return (count + 63) / 64;
}

std::uint64_t validBits(std::size_t count, std::size_t word)
{
    const std::size_t rows = std::min<std::size_t>(64, count - word * 64);
    return rows == 64 ? ~std::uint64_t(0) : (std::uint64_t(1) << rows) - 1;
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

} // namespace

Scalar RecordFilter::Compiled::scalarAt(
    const Operand &operand, const ResultColumns &columns, std::size_t row) const
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

std::optional<std::string> RecordFilter::Compiled::printedAt(
    const Operand &operand, const ResultColumns &columns, std::size_t row) const
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

bool RecordFilter::Compiled::rowByRow() const
{
    switch (kind) {
    case Kind::And:
    case Kind::Or:
    case Kind::Not:
        return std::any_of(children.begin(), children.end(),
            [](const Compiled &child) { return child.rowByRow(); });
    case Kind::TextCompare:
    case Kind::Like:
    case Kind::Generic:
        return true;
    default:
        return false;
    }
}

namespace {

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

} // namespace

void RecordFilter::Compiled::evaluateRows(std::size_t begin, std::size_t count, const Mask &active,
    Mask &yes, Mask &no, const std::function<std::optional<bool>(std::size_t)> &test) const
{
    yes.fill(0);
    no.fill(0);
    forEachActive(active, count, [&](std::size_t k) {
        const std::optional<bool> result = test(begin + k);
        if (result)
            (*result ? yes : no)[k >> 6] |= std::uint64_t(1) << (k & 63);
    });
}

void RecordFilter::Compiled::evaluate(const ResultColumns &columns, std::size_t begin,
    std::size_t count, const Mask &active, Mask &yes, Mask &no) const
{
    const std::size_t words = wordsFor(count);
    switch (kind) {
    case Kind::And:
    case Kind::Or: {
        Mask childYes, childNo, open;
        children.front().evaluate(columns, begin, count, active, yes, no);
        for (std::size_t c = 1; c < children.size(); ++c) {
            // Rows already decided need no further reading.
            bool any = false;
            for (std::size_t w = 0; w < words; ++w) {
                open[w] = active[w] & ~(kind == Kind::And ? no[w] : yes[w]);
                any = any || open[w];
            }
            if (!any)
                return;
            children[c].evaluate(columns, begin, count, open, childYes, childNo);
            for (std::size_t w = 0; w < words; ++w) {
                if (kind == Kind::And) {
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
        children.front().evaluate(columns, begin, count, active, no, yes);
        return;
    case Kind::Constant:
        for (std::size_t w = 0; w < words; ++w) {
            yes[w] = constant && *constant ? validBits(count, w) : 0;
            no[w] = constant && !*constant ? validBits(count, w) : 0;
        }
        return;
    default:
        break;
    }

    if (kind == Kind::Generic) {
        evaluateRows(begin, count, active, yes, no, [&](std::size_t row) {
            return compareScalars(scalarAt(a, columns, row), scalarAt(b, columns, row), op);
        });
        return;
    }
    if (kind == Kind::Like && field < 0) {
        evaluateRows(begin, count, active, yes, no, [&](std::size_t row) -> std::optional<bool> {
            const std::optional<std::string> value = printedAt(a, columns, row);
            const std::optional<std::string> pattern = printedAt(b, columns, row);
            if (!value || !pattern)
                return std::nullopt;
            return likeMatch(*value, folded(*pattern)) != negated;
        });
        return;
    }

    const ResultColumn &column = columns.column(field);
    Mask nulls;
    column.nullBits(begin, count, nulls.data());
    if (kind == Kind::IsNull) {
        for (std::size_t w = 0; w < words; ++w) {
            const std::uint64_t valid = validBits(count, w);
            yes[w] = negated ? ~nulls[w] & valid : nulls[w];
            no[w] = negated ? nulls[w] : ~nulls[w] & valid;
        }
        return;
    }

    Mask result;
    switch (kind) {
    case Kind::IntegerCompare:
        compareValuesBy(
            op, column.integers(begin, count), integer, [](std::int64_t word) { return word; },
            result);
        break;
    case Kind::RealCompare:
        if (column.storage() == Storage::Real) {
            compareValuesBy(
                op, column.reals(begin, count), real, [](double value) { return value; }, result);
        } else {
            compareValuesBy(
                op, column.integers(begin, count), real,
                [](std::int64_t word) { return static_cast<double>(word); }, result);
        }
        break;
    case Kind::TextCompare:
    case Kind::Like: {
        const ResultColumn::TextSpan texts = column.texts(begin, count);
        const bool equal = op == Op::Equal;
        if (kind == Kind::Like) {
            testTexts(
                texts, active,
                [&](std::string_view value) { return likeMatch(value, text) != negated; }, result);
        } else if ((equal || op == Op::NotEqual) && text.size() <= 8) {
            // The usual grid filter, a code or a short name: the constant is one word.
            const std::size_t n = text.size();
            const std::uint64_t wanted = loadUpTo8(text.data(), n);
            testTexts(
                texts, active,
                [&](std::string_view value) {
                    return (value.size() == n && foldWord(loadUpTo8(value.data(), n)) == wanted)
                        == equal;
                },
                result);
        } else if (equal || op == Op::NotEqual) {
            testTexts(
                texts, active,
                [&](std::string_view value) { return equalsFolded(value, text) == equal; }, result);
        } else {
            testTexts(
                texts, active,
                [&](std::string_view value) { return holds(op, compareFolded(value, text)); },
                result);
        }
        break;
    }
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

namespace {

class Binder
{
public:
    Binder(const ResultColumns &columns, FilterError &error)
        : m_columns(columns)
        , m_error(error)
    {
    }

    bool bind(const FilterNode &node, RecordFilter::Compiled &out)
    {
        using Kind = RecordFilter::Compiled::Kind;
        switch (node.kind) {
        case FilterNode::Kind::And:
        case FilterNode::Kind::Or:
            out.kind = node.kind == FilterNode::Kind::And ? Kind::And : Kind::Or;
            out.children.resize(node.children.size());
            for (std::size_t i = 0; i < node.children.size(); ++i) {
                if (!bind(*node.children[i], out.children[i]))
                    return false;
            }
            // Whole-block comparisons first: the row-by-row ones then read only the rows still
            // open. AND and OR give the same answer in any order, unknowns included.
            std::stable_partition(out.children.begin(), out.children.end(),
                [](const RecordFilter::Compiled &child) { return !child.rowByRow(); });
            return true;
        case FilterNode::Kind::Not:
            out.kind = Kind::Not;
            out.children.resize(1);
            return bind(*node.children.front(), out.children.front());
        case FilterNode::Kind::Compare:
            return bindCompare(node.left, node.right, node.op, out);
        case FilterNode::Kind::IsNull:
            return bindIsNull(node, out);
        case FilterNode::Kind::Like:
            return bindLike(node, out);
        case FilterNode::Kind::In: {
            // x IN (a, b) is x = a OR x = b, with SQL's unknowns; NOT IN negates that.
            RecordFilter::Compiled any;
            any.kind = Kind::Or;
            any.children.resize(node.list.size());
            for (std::size_t i = 0; i < node.list.size(); ++i) {
                if (!bindCompare(node.left, node.list[i], Op::Equal, any.children[i]))
                    return false;
            }
            if (!node.negated) {
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

private:
    bool fail(std::size_t position, std::string message)
    {
        m_error.position = position;
        m_error.message = std::move(message);
        return false;
    }

    bool resolve(const FilterOperand &operand, int &field)
    {
        field = m_columns.indexOf(operand.text);
        if (field < 0)
            return fail(operand.position, "unknown field \"" + operand.text + "\"");
        return true;
    }

    bool operand(const FilterOperand &source, RecordFilter::Compiled::Operand &out)
    {
        if (source.kind == FilterOperand::Kind::Field)
            return resolve(source, out.field);
        out.literal = literalScalar(source);
        return true;
    }

    bool bindCompare(const FilterOperand &leftSource, const FilterOperand &rightSource, Op op,
        RecordFilter::Compiled &out)
    {
        using Kind = RecordFilter::Compiled::Kind;
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
            out.text = folded(right->text);
            return true;
        case Storage::Date: {
            const auto ms = right->kind == FilterOperand::Kind::Text ? IsoDate::parse(right->text)
                                                                     : std::nullopt;
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
            const std::string lower = folded(right->text);
            if (column.type() == FieldType::Boolean && (lower == "true" || lower == "false")) {
                whole = lower == "true";
                number = static_cast<double>(whole);
                integral = true;
            } else if (!parseNumber(right->text, number, whole, integral)) {
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

    bool bindIsNull(const FilterNode &node, RecordFilter::Compiled &out)
    {
        using Kind = RecordFilter::Compiled::Kind;
        if (node.left.kind != FilterOperand::Kind::Field) {
            out.kind = Kind::Constant;
            out.constant = (node.left.kind == FilterOperand::Kind::Null) != node.negated;
            return true;
        }
        out.kind = Kind::IsNull;
        out.negated = node.negated;
        return resolve(node.left, out.field);
    }

    bool bindLike(const FilterNode &node, RecordFilter::Compiled &out)
    {
        using Kind = RecordFilter::Compiled::Kind;
        out.kind = Kind::Like;
        out.negated = node.negated;
        if (node.left.kind == FilterOperand::Kind::Null
            || node.right.kind == FilterOperand::Kind::Null) {
            out.kind = Kind::Constant;
            out.constant.reset();
            return true;
        }
        if (node.left.kind == FilterOperand::Kind::Field
            && node.right.kind != FilterOperand::Kind::Field) {
            int field;
            if (!resolve(node.left, field))
                return false;
            const Storage storage = m_columns.column(field).storage();
            if (storage == Storage::Text || storage == Storage::Bytes) {
                out.field = field;
                out.text = folded(node.right.text);
                return true;
            }
        }
        // Numbers and dates match by their printed form, one row at a time.
        return operand(node.left, out.a) && operand(node.right, out.b);
    }

    const ResultColumns &m_columns;
    FilterError &m_error;
};

class SqlWriter
{
public:
    SqlWriter(const RecordFilter::ColumnResolver &column, std::string_view collation,
        std::string &sql, std::vector<Value> &parameters, FilterError &error)
        : m_column(column)
        , m_collation(collation)
        , m_sql(sql)
        , m_parameters(parameters)
        , m_error(error)
    {
    }

    bool write(const FilterNode &node)
    {
        switch (node.kind) {
        case FilterNode::Kind::And:
        case FilterNode::Kind::Or:
            m_sql += '(';
            for (std::size_t i = 0; i < node.children.size(); ++i) {
                if (i)
                    m_sql += node.kind == FilterNode::Kind::And ? " AND " : " OR ";
                if (!write(*node.children[i]))
                    return false;
            }
            m_sql += ')';
            return true;
        case FilterNode::Kind::Not:
            m_sql += "NOT (";
            if (!write(*node.children.front()))
                return false;
            m_sql += ')';
            return true;
        case FilterNode::Kind::Compare:
            if (!operand(node.left)
                || !collate(node.left.kind == FilterOperand::Kind::Text
                    || node.right.kind == FilterOperand::Kind::Text))
                return false;
            m_sql += sqlOperator(node.op);
            return operand(node.right);
        case FilterNode::Kind::Like:
            if (!operand(node.left))
                return false;
            m_sql += node.negated ? " NOT LIKE " : " LIKE ";
            return operand(node.right);
        case FilterNode::Kind::IsNull:
            if (!operand(node.left))
                return false;
            m_sql += node.negated ? " IS NOT NULL" : " IS NULL";
            return true;
        case FilterNode::Kind::In: {
            bool text = false;
            for (const FilterOperand &value : node.list)
                text = text || value.kind == FilterOperand::Kind::Text;
            if (!operand(node.left) || !collate(text))
                return false;
            m_sql += node.negated ? " NOT IN (" : " IN (";
            for (std::size_t i = 0; i < node.list.size(); ++i) {
                if (i)
                    m_sql += ", ";
                if (!operand(node.list[i]))
                    return false;
            }
            m_sql += ')';
            return true;
        }
        }
        return false;
    }

private:
    bool collate(bool text)
    {
        if (text)
            m_sql += m_collation;
        return true;
    }

    bool operand(const FilterOperand &operand)
    {
        switch (operand.kind) {
        case FilterOperand::Kind::Field: {
            const std::optional<std::string> column = m_column(operand.text);
            if (!column) {
                m_error.position = operand.position;
                m_error.message = "unknown field \"" + operand.text + "\"";
                return false;
            }
            m_sql += *column;
            return true;
        }
        case FilterOperand::Kind::Number:
        case FilterOperand::Kind::Boolean:
            m_sql += '?';
            if (operand.integral)
                m_parameters.emplace_back(operand.whole);
            else
                m_parameters.emplace_back(operand.number);
            return true;
        case FilterOperand::Kind::Text:
            m_sql += '?';
            m_parameters.emplace_back(operand.text);
            return true;
        case FilterOperand::Kind::Null:
            m_sql += "NULL";
            return true;
        }
        return false;
    }

    const RecordFilter::ColumnResolver &m_column;
    std::string_view m_collation;
    std::string &m_sql;
    std::vector<Value> &m_parameters;
    FilterError &m_error;
};

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
    auto compiled = std::make_unique<Compiled>();
    Binder binder(columns, error);
    if (!binder.bind(*m_root, *compiled)) {
        m_compiled.reset();
        return false;
    }
    m_compiled = std::move(compiled);
    return true;
}

bool RecordFilter::matches(const ResultColumns &columns, std::size_t row) const
{
    if (!m_compiled || row >= columns.rowCount())
        return false;
    Mask active {}, yes, no;
    active[0] = 1;
    m_compiled->evaluate(columns, row, 1, active, yes, no);
    return yes[0] & 1u;
}

void RecordFilter::select(
    const ResultColumns &columns, std::size_t begin, std::size_t end, std::vector<int> &rows) const
{
    if (!m_compiled)
        return;
    end = std::min(end, columns.rowCount());
    Mask yes, no;
    std::size_t row = begin;
    while (row < end) {
        const std::size_t blockEnd = std::min(end, (row / kBlockRows + 1) * kBlockRows);
        const std::size_t count = blockEnd - row;
        Mask active;
        for (std::size_t w = 0; w < kBlockWords; ++w)
            active[w] = w < wordsFor(count) ? validBits(count, w) : 0;
        m_compiled->evaluate(columns, row, count, active, yes, no);
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

bool RecordFilter::toSql(const ColumnResolver &column, std::string_view textCollation,
    std::string &sql, std::vector<Value> &parameters, FilterError &error) const
{
    SqlWriter writer(column, textCollation, sql, parameters, error);
    return writer.write(*m_root);
}
