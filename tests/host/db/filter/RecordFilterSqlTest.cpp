// The record filter evaluated over the column store against SQLite running the filter's own SQL
// text over the same rows: both must keep the same rows, for hand-picked filters and for many
// generated ones.
#include "TableRows.h"
#include "host/db/DbTestSupport.h"

#include "host/db/dataset/ResultColumns.h"
#include "host/db/engine/SqlText.h"
#include "host/db/filter/RecordFilter.h"

#include <random>

namespace {

enum class Kind { Text, Integer, Decimal, Real, DateTime, Date, Boolean };

struct Field
{
    const char *name;
    const char *declared;
    Kind kind;
};

const Field kFields[] = {
    { "cName", "VARCHAR(20)", Kind::Text },
    { "cNote", "TEXT", Kind::Text },
    { "iCount", "INTEGER", Kind::Integer },
    { "nTotal", "DECIMAL(10,2)", Kind::Decimal },
    { "rRate", "REAL", Kind::Real },
    { "dtPay", "DATETIME", Kind::DateTime },
    { "dDay", "DATE", Kind::Date },
    { "bActive", "BOOLEAN", Kind::Boolean },
};

// Texts with quotes, LIKE's wildcards, letters in both cases inside and outside ASCII, numbers
// written as text, and lengths either side of the eight bytes the filter compares at once.
const std::vector<std::string> kTexts = { "Smith", "smith", "SMITH", "O'Brien", "o'brien", "it's",
    "50% off", "x_y", "Émile", "émile", "", "a", "Ab", "abc", "12", "007", "1.5", "-3", "%", "_",
    "Z", "[x]", "\"q\"", "abcdefghijk", "ABCDEFGHIJK", "abcdefgh", "Ärger", "äRGER", "€5", "€50" };
const std::vector<std::int64_t> kIntegers = { -7, -1, 0, 1, 2, 3, 7, 12, 100, 65536 };
const std::vector<double> kDecimals = { 0, 12.5, -3.25, 100, 99.99, 0.1, 2, 1000000 };
const std::vector<std::string> kDateTimes = { "2024-01-31 00:00:00", "2024-01-31 10:30:00",
    "2024-02-15 10:30:00", "2023-12-31 23:59:59", "2000-02-29 12:00:00" };
const std::vector<std::string> kDates = { "2024-01-31", "2024-02-29", "1999-12-31", "2024-02-01" };

class RecordFilterSqlTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        std::string create = "CREATE TABLE t(";
        for (const Field &field : kFields)
            create += std::string(field.name) + " " + field.declared + ",";
        create.back() = ')';
        exec(create);
        fillTable(40);
        OpenQuery(query, *db, "select * from t order by rowid");
    }

    // Rows of values from the pools above, a NULL in about one cell of five.
    void fillTable(int rows)
    {
        std::mt19937 random(7);
        auto statement = db->prepare("INSERT INTO t VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        ASSERT_TRUE(statement);
        for (int row = 0; row < rows; ++row) {
            for (int i = 0; i < int(std::size(kFields)); ++i) {
                Value value;
                if (random() % 5 != 0)
                    value = poolValue(kFields[i].kind, random);
                statement->bind(i + 1, value);
            }
            ASSERT_EQ(statement->step(), Statement::Step::Done) << statement->lastError().text;
            statement->reset();
        }
    }

    static Value poolValue(Kind kind, std::mt19937 &random)
    {
        const auto any = [&](const auto &pool) { return pool[random() % pool.size()]; };
        switch (kind) {
        case Kind::Text:
            return any(kTexts);
        case Kind::Integer:
            return any(kIntegers);
        case Kind::Decimal:
        case Kind::Real:
            return any(kDecimals);
        case Kind::DateTime:
            return any(kDateTimes);
        case Kind::Date:
            return any(kDates);
        case Kind::Boolean:
            return std::int64_t(random() % 2);
        }
        return {};
    }

    // The rows the filter keeps against the rows SQLite keeps with the filter's SQL text. Every
    // literal here fits its field, so the filter must bind.
    void compare(const std::string &text)
    {
        FilterError error;
        auto filter = RecordFilter::parse(text, error);
        ASSERT_TRUE(filter) << text << ": " << error.text();
        const ResultColumns &columns = *query.ColumnStore();
        const auto column = [&](std::string_view name) -> std::optional<std::string> {
            const int index = columns.indexOf(name);
            if (index < 0)
                return std::nullopt;
            return SqlText::quoteIdentifier(columns.column(index).name());
        };
        std::string sql;
        std::vector<Value> parameters;
        ASSERT_TRUE(filter->toSql(column, " COLLATE NOCASE", sql, parameters, error))
            << text << ": " << error.text();
        ASSERT_TRUE(filter->bind(columns, error)) << text << ": " << error.text();
        std::vector<int> kept;
        filter->select(columns, 0, columns.rowCount(), kept);

        auto statement = db->prepare("SELECT rowid - 1 FROM t WHERE " + sql + " ORDER BY rowid");
        ASSERT_TRUE(statement) << sql << ": " << db->lastError().text;
        for (std::size_t i = 0; i < parameters.size(); ++i)
            statement->bind(int(i + 1), parameters[i]);
        std::vector<int> expected;
        while (statement->step() == Statement::Step::Row)
            expected.push_back(int(statement->asInt64(0)));
        EXPECT_EQ(kept, expected) << text << "\n  as SQL: " << sql;
    }

    TQuillonADOQuery query;
};

bool numeric(Kind kind)
{
    return kind == Kind::Integer || kind == Kind::Decimal || kind == Kind::Real
        || kind == Kind::Boolean;
}

// Writes random filters over the fields above. It leaves out only what the filter does
// differently from SQL on purpose (see RecordFilter):
// - a word compared with a number, field with field or literal with literal: unknown here, as the
//   grid cannot order a word against a number; SQLite orders them by type;
// - a date in another form than the field stores ('2024-01-31' for a date and time field, a "T"
//   between date and time), or a date field compared with a date and time field: the filter
//   compares instants, SQL the texts;
// - a boolean field compared with 'true' or 'false', which the filter reads as the words;
// - a number compared with a text field in another form than SQL prints it ("1.50", "007"): the
//   filter takes it as written;
// - LIKE over real numbers: the filter matches the form the data set prints ("2", "1e+06"),
//   SQLite its own ("2.0", "1000000.0").
class FilterGenerator
{
public:
    explicit FilterGenerator(unsigned seed)
        : m_random(seed)
    {
    }

    std::string filter(int depth)
    {
        switch (depth > 0 ? pick(6) : 5) {
        case 0:
        case 1: {
            const int count = 2 + pick(2);
            const char *joint = pick(2) ? " AND " : " OR ";
            std::string out = "(";
            for (int i = 0; i < count; ++i)
                out += (i ? joint : "") + filter(depth - 1);
            return out + ")";
        }
        case 2:
            return "NOT " + filter(depth - 1);
        default:
            return predicate();
        }
    }

private:
    int pick(int n) { return int(m_random() % unsigned(n)); }
    template <typename T> const T &any(const std::vector<T> &pool)
    {
        return pool[m_random() % pool.size()];
    }
    const Field &anyField() { return kFields[pick(int(std::size(kFields)))]; }

    std::string swapCase(std::string text)
    {
        for (char &c : text) {
            if (std::isalpha(static_cast<unsigned char>(c)) && pick(3) == 0)
                c = char(std::isupper(static_cast<unsigned char>(c)) ? std::tolower(c)
                                                                     : std::toupper(c));
        }
        return text;
    }

    // The field's name as a person might type it: any letter case, bracketed or quoted.
    std::string name(const Field &field)
    {
        const std::string out = swapCase(field.name);
        switch (pick(5)) {
        case 0:
            return "[" + out + "]";
        case 1:
            return "\"" + out + "\"";
        default:
            return out;
        }
    }

    static std::string quoted(const std::string &text)
    {
        std::string out = "'";
        for (char c : text)
            out += c == '\'' ? std::string("''") : std::string(1, c);
        return out + "'";
    }

    // As SQLite prints the number.
    static std::string number(double value)
    {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.15g", value);
        return buffer;
    }

    // A number as a person might write it; compared with a number field, every form is the same.
    std::string written(double value)
    {
        char buffer[32];
        switch (pick(5)) {
        case 0:
            std::snprintf(buffer, sizeof buffer, "%.3e", value);
            return buffer;
        case 1:
            std::snprintf(buffer, sizeof buffer, "%.4f", value);
            return buffer;
        case 2:
            return value > 0 && value == double(std::int64_t(value)) ? "0" + number(value)
                                                                     : number(value);
        default:
            return number(value);
        }
    }

    double anyNumber() { return pick(2) ? double(any(kIntegers)) : any(kDecimals); }

    std::string text() { return quoted(swapCase(any(kTexts)) + (pick(4) == 0 ? "x" : "")); }

    // A literal fit for a field of the kind, now and then NULL.
    std::string literal(Kind kind)
    {
        if (pick(12) == 0)
            return "NULL";
        switch (kind) {
        case Kind::Text:
            return pick(4) == 0 ? number(anyNumber()) : text();
        case Kind::Integer:
        case Kind::Decimal:
        case Kind::Real:
            return pick(4) == 0 ? quoted(written(anyNumber())) : written(anyNumber());
        case Kind::DateTime:
            return quoted(any(kDateTimes));
        case Kind::Date:
            return quoted(any(kDates));
        case Kind::Boolean:
            return std::vector<std::string> { "TRUE", "FALSE", "0", "1", "2", "-1" }[pick(6)];
        }
        return "NULL";
    }

    // A LIKE pattern from a value of the kind, in another letter case, with % and _ in places.
    std::string pattern(Kind kind)
    {
        std::string value;
        switch (kind) {
        case Kind::Integer:
        case Kind::Boolean:
            value = std::to_string(any(kIntegers));
            break;
        case Kind::DateTime:
            value = any(kDateTimes);
            break;
        case Kind::Date:
            value = any(kDates);
            break;
        default:
            value = pick(5) == 0 ? std::to_string(any(kIntegers)) : swapCase(any(kTexts));
            break;
        }
        // Character by character: a wildcard stands for a whole one.
        std::string out;
        for (std::size_t i = 0; i < value.size();) {
            std::size_t length = 1;
            while (i + length < value.size() && (value[i + length] & 0xC0) == 0x80)
                ++length;
            if (pick(10) == 0)
                out += '%';
            out += pick(8) == 0 ? std::string("_") : value.substr(i, length);
            i += length;
        }
        std::size_t half = out.size() / 2;
        while (half > 0 && (out[half] & 0xC0) == 0x80)
            --half;
        switch (pick(4)) {
        case 0:
            return quoted(out + "%");
        case 1:
            return quoted("%" + out);
        case 2:
            return quoted("%" + out.substr(0, half) + "%");
        default:
            return quoted(out);
        }
    }

    std::string predicate()
    {
        const Field &field = anyField();
        static const char *const kOps[] = { " = ", " <> ", " != ", " < ", " <= ", " > ", " >= " };
        const char *op = kOps[pick(7)];
        switch (pick(12)) {
        case 0:
            return name(field) + (pick(2) ? " IS NULL" : " IS NOT NULL");
        case 1:
            return literal(field.kind) + (pick(2) ? " IS NULL" : " IS NOT NULL");
        case 2: {
            std::string out = name(field) + (pick(3) ? " IN (" : " NOT IN (");
            const int count = 1 + pick(3);
            for (int i = 0; i < count; ++i)
                out += (i ? ", " : "") + literal(field.kind);
            return out + ")";
        }
        case 3:
        case 4:
            if (field.kind == Kind::Decimal || field.kind == Kind::Real)
                break;
            return name(field) + (pick(3) ? " LIKE " : " NOT LIKE ") + pattern(field.kind);
        case 5:
            if (field.kind != Kind::Text)
                break;
            return text() + (pick(3) ? " LIKE " : " NOT LIKE ") + name(field);
        case 6: {
            const Field &other = anyField();
            if (other.kind == field.kind || (numeric(other.kind) && numeric(field.kind)))
                return name(field) + op + name(other);
            break;
        }
        case 7:
            return pick(2) ? text() + op + text()
                           : written(anyNumber()) + op + written(anyNumber());
        case 8:
            return literal(field.kind) + op + name(field);
        default:
            break;
        }
        return name(field) + op + literal(field.kind);
    }

    std::mt19937 m_random;
};

} // namespace

TEST_F(RecordFilterSqlTest, KeepsTheRowsSqliteKeeps)
{
    const char *filters[] = {
        "cName = 'smith'",
        "cName < 'o''BRIEN' OR cNote >= 'ABC'",
        "cName = cNote", // SQL compared two text fields with their letter case
        "cName <> cNote OR cName >= cNote",
        "cName LIKE 'é%' OR cNote LIKE '_mile' OR cName LIKE '_5%'",
        "iCount = '12' OR nTotal > '99.5'",
        "nTotal IN (100, 12.5, NULL)",
        "NOT (rRate <> 2 AND iCount NOT IN (1, 2))",
        "dtPay >= '2024-01-31 10:30:00' AND dDay < '2024-02-29'",
        "dtPay LIKE '%10:30%' OR dDay LIKE '2024-__-31'",
        "bActive = TRUE AND NOT bActive IS NULL",
        "iCount LIKE '1%'",
        "cName = 12 OR cName = -3 OR cName IN (1.5, 'a')",
        "'abc' LIKE cName",
    };
    for (const char *filter : filters) {
        SCOPED_TRACE(filter);
        compare(filter);
    }
}

TEST_F(RecordFilterSqlTest, KeepsTheRowsSqliteKeepsForGeneratedFilters)
{
    FilterGenerator generator(20240131);
    for (int i = 0; i < 4000 && !HasFailure(); ++i)
        compare(generator.filter(3));
}
