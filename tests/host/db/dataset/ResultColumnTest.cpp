#include "host/db/dataset/ResultColumns.h"
#include "host/db/engine/IsoDate.h"

#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>
#include <string_view>

namespace {

std::vector<std::string> texts(const ResultColumn &column)
{
    std::vector<std::string> out;
    for (std::size_t row = 0; row < column.size(); ++row)
        out.push_back(column.isNull(row) ? "<null>" : column.displayText(row));
    return out;
}

} // namespace

TEST(ResultColumn, NeverLosesAValueThatDoesNotFitItsType)
{
    const struct
    {
        const char *name;
        FieldType declared;
        std::vector<Value> values;
        ResultColumn::Storage storage;
        std::vector<std::string> shown;
    } cases[] = {
        { "date then text", FieldType::Date,
            { "2024-01-31", {}, "2024-02-01 10:00:00", "31/01/2024" }, ResultColumn::Storage::Text,
            { "2024-01-31", "<null>", "2024-02-01 10:00:00", "31/01/2024" } },
        { "date then number", FieldType::DateTime, { "2024-01-31 08:15:00.250", std::int64_t(5) },
            ResultColumn::Storage::Text, { "2024-01-31 08:15:00.250", "5" } },
        { "dates stay dates", FieldType::DateTime, { "2024-02-29", "1999-12-31T23:59:59" },
            ResultColumn::Storage::Date, { "2024-02-29 00:00:00", "1999-12-31 23:59:59" } },
        { "integer then real", FieldType::Integer, { std::int64_t(2), 2.5 },
            ResultColumn::Storage::Real, { "2", "2.5" } },
        { "integer then word", FieldType::Integer, { std::int64_t(2), "n/a", "17" },
            ResultColumn::Storage::Text, { "2", "n/a", "17" } },
        { "undeclared: first value decides", FieldType::Other, { {}, std::int64_t(4), 1.5 },
            ResultColumn::Storage::Real, { "<null>", "4", "1.5" } },
        { "undeclared ISO dates", FieldType::Other, { {}, "2024-03-01" },
            ResultColumn::Storage::Date, { "<null>", "2024-03-01" } },
        { "undeclared text", FieldType::Other, { "2024-03-01x", "2024-03-01" },
            ResultColumn::Storage::Text, { "2024-03-01x", "2024-03-01" } },
        { "only nulls", FieldType::Other, { {}, {} }, ResultColumn::Storage::Text,
            { "<null>", "<null>" } },
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        ResultColumn column("c", row.declared);
        for (const Value &value : row.values)
            column.append(value);
        column.finish();
        EXPECT_EQ(column.storage(), row.storage);
        EXPECT_EQ(texts(column), row.shown);
    }
}

TEST(ResultColumn, EditsAndRemovalsAcrossChunkBoundaries)
{
    ResultColumns columns;
    columns.addColumn("t", FieldType::String);
    columns.addColumn("n", FieldType::Integer);
    const std::size_t rows = ResultColumn::kChunkRows + 10;
    for (std::size_t i = 0; i < rows; ++i)
        columns.appendRow({ Value("r" + std::to_string(i)), Value(static_cast<std::int64_t>(i)) });
    columns.finish();

    const std::string longText(1000, 'L');
    columns.setValue(ResultColumn::kChunkRows - 1, 0, longText);
    columns.setValue(5, 0, Value());
    columns.setValue(6, 1, "six"); // a word in a number column: the column turns to text
    columns.removeRow(3);

    ASSERT_EQ(columns.rowCount(), rows - 1);
    const ResultColumn &t = columns.column(0);
    const ResultColumn &n = columns.column(1);
    EXPECT_EQ(t.textAt(2), "r2");
    EXPECT_EQ(t.textAt(3), "r4");
    EXPECT_TRUE(t.isNull(4));
    EXPECT_EQ(n.displayText(5), "six");
    EXPECT_EQ(n.displayText(6), "7");
    EXPECT_EQ(t.textAt(ResultColumn::kChunkRows - 2), longText);
    EXPECT_EQ(
        t.textAt(ResultColumn::kChunkRows - 1), "r" + std::to_string(ResultColumn::kChunkRows));
    EXPECT_EQ(t.textAt(rows - 2), "r" + std::to_string(rows - 1));
    EXPECT_EQ(n.displayText(rows - 2), std::to_string(rows - 1));
}

TEST(ResultColumn, ScansReadTheRowsTheyAskForAtAnyOffset)
{
    ResultColumns columns;
    columns.addColumn("n", FieldType::Integer);
    columns.addColumn("r", FieldType::Float);
    columns.addColumn("t", FieldType::String);
    const std::size_t rows = ResultColumn::kChunkRows + 300;
    for (std::size_t i = 0; i < rows; ++i) {
        const auto n = static_cast<std::int64_t>(i);
        if (i % 7 == 3)
            columns.appendRow({ Value(), Value(), Value() });
        else
            columns.appendRow({ Value(n), Value(n + 0.5), Value(std::string(i % 5, 'a')) });
    }
    columns.finish();
    columns.setValue(100, 2, std::string(40, 'w')); // later texts of the chunk move up
    const ResultColumn &n = columns.column(0);
    const ResultColumn &r = columns.column(1);
    const ResultColumn &t = columns.column(2);

    const struct
    {
        std::size_t begin, count;
    } ranges[] = { { 0, 1 }, { 0, 64 }, { 1, 63 }, { 5, 130 }, { 63, 2 }, { 99, 3 },
        { ResultColumn::kChunkRows - 70, 70 }, { ResultColumn::kChunkRows, 1 },
        { ResultColumn::kChunkRows + 3, 200 } };
    for (const auto &range : ranges) {
        SCOPED_TRACE(range.begin);
        std::vector<std::uint64_t> nulls((range.count + 63) / 64, ~std::uint64_t(0));
        n.nullBits(range.begin, range.count, nulls.data());
        const auto integers = n.integers(range.begin, range.count);
        const auto reals = r.reals(range.begin, range.count);
        const auto texts = t.texts(range.begin, range.count);
        ASSERT_EQ(integers.size(), range.count);
        for (std::size_t k = 0; k < nulls.size() * 64; ++k) {
            const std::size_t row = range.begin + k;
            const bool null = (nulls[k / 64] >> (k % 64)) & 1u;
            if (k >= range.count) {
                EXPECT_FALSE(null) << "bit past the range " << k;
                continue;
            }
            EXPECT_EQ(null, n.isNull(row)) << row;
            EXPECT_EQ(integers[k], n.integerAt(row)) << row;
            EXPECT_EQ(reals[k], r.realAt(row)) << row;
            EXPECT_EQ(texts[k], t.textAt(row)) << row;
        }
    }
}

TEST(ResultColumn, RowsAppendedAfterTheTrimLandInMemoryItStillOwns)
{
    // Enough rows that the last chunk's buffers are mapped and give their spare end back.
    const std::size_t rows = ResultColumn::kChunkRows + 70000;
    ResultColumns columns;
    columns.addColumn("n", FieldType::Integer);
    columns.addColumn("t", FieldType::String);
    for (std::size_t i = 0; i < rows; ++i)
        columns.appendRow({ Value(static_cast<std::int64_t>(i)), Value("r" + std::to_string(i)) });
    columns.finish();
    const std::size_t trimmed = columns.memoryBytes();
    for (std::size_t i = rows; i < rows + 30000; ++i) // rows a person adds to the open result
        columns.appendRow({ Value(static_cast<std::int64_t>(i)), Value("r" + std::to_string(i)) });
    columns.finish();

    ASSERT_EQ(columns.rowCount(), rows + 30000);
    EXPECT_GT(columns.memoryBytes(), trimmed);
    for (const std::size_t row :
        { std::size_t(0), ResultColumn::kChunkRows, rows - 1, rows, rows + 29999 }) {
        SCOPED_TRACE(row);
        EXPECT_EQ(columns.column(0).integerAt(row), static_cast<std::int64_t>(row));
        EXPECT_EQ(columns.column(1).textAt(row), "r" + std::to_string(row));
    }
}

TEST(ResultColumn, StaysWithinHalfAgainTheSizeOfItsValues)
{
    ResultColumns columns;
    columns.addColumn("n", FieldType::Integer);
    columns.addColumn("d", FieldType::Date);
    columns.addColumn("t", FieldType::String);
    for (std::int64_t i = 0; i < 140000; ++i)
        columns.appendRow(
            { Value(i), Value(std::string("2024-01-01")), Value("Name " + std::to_string(i)) });
    columns.finish();
    EXPECT_LE(columns.memoryBytes(), columns.valueBytes() * 3 / 2)
        << columns.memoryBytes() << " bytes for " << columns.valueBytes() << " bytes of values";
}

TEST(IsoDate, ReadsOnlyWellFormedDates)
{
    const struct
    {
        const char *text;
        bool valid;
        const char *printed;
    } cases[] = {
        { "2024-02-29", true, "2024-02-29" }, { "2023-02-29", false, "" },
        { "2024-13-01", false, "" }, { "2024-01-31 24:00:00", false, "" },
        { "2024-01-31 23:59", true, "2024-01-31 23:59:00" },
        { "1899-12-30 12:00:00.5", true, "1899-12-30 12:00:00.500" }, { "2024-1-31", false, "" },
        { "2024-01-31 ", false, "" }, { "20240131", false, "" }, { "2024-01-3a", false, "" },
        { "2024-01-31 10:6a:00", false, "" }, { "2024/01/31", false, "" },
        { "2024-01-31T10:00:00", true, "2024-01-31 10:00:00" },
        { "0001-01-01", true, "0001-01-01" }, { "2024-01-31 10:00:0a", false, "" },
        { "2024-01-31X10:00:00", false, "" }, { "2024-01-31 10-00-00", false, "" },
        { "2024-01-31 10:00:00", true, "2024-01-31 10:00:00" },
        { "2024-01-31 23:59:59", true, "2024-01-31 23:59:59" },
        { "2024-01-31 23:60:00", false, "" }, { "2024-01-31 23:59:60", false, "" },
        { "2024-01-31 29:00:00", false, "" }, { "1900-02-29", false, "" },
        { "2000-02-29", true, "2000-02-29" },
        { "2400-02-29 01:02:03", true, "2400-02-29 01:02:03" }, { "2401-02-29", false, "" },
        { "9999-12-31 23:59:59", true, "9999-12-31 23:59:59" },
        { "12:34:56.7", true, "1970-01-01 12:34:56.700" }, // as long as a date, yet a time
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.text);
        const auto ms = IsoDate::parse(row.text);
        EXPECT_EQ(ms.has_value(), row.valid);
        if (ms) {
            EXPECT_EQ(IsoDate::format(*ms, FieldType::Date), row.printed);
        }
    }
}

TEST(IsoDate, EveryDayRoundTripsThroughMilliseconds)
{
    std::int64_t previous = IsoDate::fromParts(1599, 12, 31);
    for (int year = 1600; year <= 2400; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= 31; ++day) {
                char text[16];
                std::snprintf(text, sizeof text, "%04d-%02d-%02d", year, month, day);
                const auto ms = IsoDate::parse(text);
                if (!ms)
                    continue; // not a day of that month
                ASSERT_EQ(*ms - previous, 86400000) << text;
                EXPECT_EQ(IsoDate::format(*ms, FieldType::Date), text);
                previous = *ms;
            }
        }
    }
    EXPECT_EQ(IsoDate::fromParts(1970, 1, 1), 0);
}

TEST(IsoDate, MillisecondsPrintAsAskedButNeverAfterADateAlone)
{
    using Fraction = IsoDate::Fraction;
    const std::int64_t midnight = IsoDate::fromParts(2024, 3, 5);
    const std::int64_t noon = IsoDate::fromParts(2024, 3, 5, 12, 0, 7);
    const std::int64_t late = IsoDate::fromParts(2024, 3, 5, 23, 59, 59, 40);
    const struct
    {
        std::int64_t ms;
        FieldType type;
        Fraction fraction;
        const char *printed;
    } rows[] = {
        { noon, FieldType::DateTime, Fraction::Always, "2024-03-05 12:00:07.000" },
        { late, FieldType::DateTime, Fraction::Always, "2024-03-05 23:59:59.040" },
        { late, FieldType::DateTime, Fraction::WhenPresent, "2024-03-05 23:59:59.040" },
        { noon, FieldType::DateTime, Fraction::WhenPresent, "2024-03-05 12:00:07" },
        { late, FieldType::DateTime, Fraction::Never, "2024-03-05 23:59:59" },
        { midnight, FieldType::Date, Fraction::Always, "2024-03-05" },
        { midnight, FieldType::Date, Fraction::Never, "2024-03-05" },
        { midnight + 500, FieldType::Date, Fraction::Never, "2024-03-05 00:00:00" },
        { late, FieldType::Time, Fraction::Always, "23:59:59.040" },
        { late, FieldType::Time, Fraction::Never, "23:59:59" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.printed);
        EXPECT_EQ(IsoDate::format(row.ms, row.type, row.fraction), row.printed);
    }
}
// A helper thread faults in the pages of buffers mapped ahead while they are written, a huge
// page at a time, or after a batch has mapped them all; one given back before the helper
// reached it (or halfway through it) is forgotten first, and a kept buffer taken again by the
// next round holds that round's values only.
TEST(ChunkBuffer, BuffersMappedAheadHoldWhatIsWrittenAndGoBackAtAnyTime)
{
    constexpr std::size_t rows = ResultColumn::kChunkRows;
    for (std::int64_t round = 0; round < 40; ++round) {
        SCOPED_TRACE(round);
        ChunkBuffer<std::int64_t> written;
        ChunkBuffer<std::int64_t> unwritten;
        {
            std::optional<PrefaultBatch> batch;
            if (round % 2)
                batch.emplace();
            written.reserve(rows, Prefault::Ahead);
            unwritten.reserve(rows * 3 + 4096, Prefault::Ahead); // not whole huge pages
            if (round % 4 == 1)
                unwritten = {}; // given back while the helper waits for the batch
        }
        for (std::size_t i = 0; i < rows; ++i)
            written.push_back(round * 1000000 + static_cast<std::int64_t>(i));
        ASSERT_EQ(written[0], round * 1000000);
        ASSERT_EQ(written[rows - 1], round * 1000000 + static_cast<std::int64_t>(rows) - 1);
        if (round % 3 == 0)
            releaseKeptChunkMemory();
    }
}

// The last chunk of a result is trimmed to its rows, yet goes back at the size it was mapped
// with: the next result's full chunk takes it again, and may write it to the end.
TEST(ChunkBuffer, ATrimmedBufferServesAFullChunkAgain)
{
    constexpr std::size_t rows = ResultColumn::kChunkRows;
    releaseKeptChunkMemory();
    const void *first = nullptr;
    for (std::int64_t round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        ChunkBuffer<std::int64_t> words;
        TextArena text;
        words.reserve(rows);
        text.reserve(3 * rows + 100); // not whole pages
        if (round == 0)
            first = words.data();
        else
            EXPECT_EQ(words.data(), first);
        for (std::size_t i = 0; i < rows; ++i)
            words.push_back(round * 1000000 + static_cast<std::int64_t>(i));
        text.append(std::string(3 * rows + 100, static_cast<char>('a' + round)));
        ASSERT_EQ(words[rows - 1], round * 1000000 + static_cast<std::int64_t>(rows) - 1);
        ASSERT_EQ(text.view().back(), 'a' + round);
        words.truncate(rows / 3);
        words.shrink_to_fit();
        EXPECT_LT(words.capacity(), rows);
        EXPECT_EQ(words[rows / 3 - 1], round * 1000000 + static_cast<std::int64_t>(rows / 3) - 1);
        text.replace(rows, text.size() - rows, {});
        text.shrink_to_fit();
        EXPECT_LT(text.capacity(), 3 * rows);
    }
}

// The limit of one chunk's text is checked before anything is copied, so a text that would carry
// the 32-bit end offsets past 4 GiB is refused, not wrapped, and the arena stays as it was. The
// text is never read: its bytes need not exist.
TEST(TextArena, RefusesToGrowPastItsOffsetsWithoutWrapping)
{
    TextArena arena;
    arena.append("abc");
    static const char small[1] = {};
    for (const std::size_t size :
        { TextArena::kMaxSize - 2, TextArena::kMaxSize + 1, std::size_t(1) << 40 }) {
        SCOPED_TRACE(size);
        EXPECT_THROW(arena.append(std::string_view(small, size)), std::length_error);
        EXPECT_EQ(arena.view(), "abc");
    }
    arena.append("de");
    EXPECT_EQ(arena.view(), "abcde");
}
