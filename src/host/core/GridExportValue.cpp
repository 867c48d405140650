#include "host/core/GridExportValue.h"

#include "host/db/dataset/ResultColumn.h"
#include "host/db/engine/IsoDate.h"
#include "host/db/engine/Statement.h"

#include <charconv>

namespace {

constexpr std::int64_t kMsPerDay = 86400000;

GridExportValue Make(GridExportValue::Kind kind, std::int64_t integer)
{
    GridExportValue value;
    value.kind = kind;
    value.integer = integer;
    return value;
}

GridExportValue MakeText(GridExportValue::Kind kind, std::string_view text)
{
    GridExportValue value;
    value.kind = kind;
    value.text = text;
    return value;
}

GridExportValue MakeDate(std::int64_t ms, FieldType type)
{
    if (type != FieldType::Time)
        return Make(GridExportValue::Kind::Date, ms);
    const std::int64_t time = ms % kMsPerDay;
    return Make(GridExportValue::Kind::Time, time < 0 ? time + kMsPerDay : time);
}

} // namespace

GridExportValue GridExportValue::Stored(const ResultColumn &column, std::size_t row)
{
    using Storage = ResultColumn::Storage;
    const Storage storage = column.storage();
    if (storage == Storage::Pending || column.isNull(row))
        return {};
    const bool boolean = column.type() == FieldType::Boolean;
    switch (storage) {
    case Storage::Integer:
        return boolean ? Make(Kind::Bool, column.integerAt(row) != 0)
                       : Make(Kind::Integer, column.integerAt(row));
    case Storage::Real: {
        if (boolean)
            return Make(Kind::Bool, column.realAt(row) != 0);
        GridExportValue value;
        value.kind = Kind::Real;
        value.real = column.realAt(row);
        return value;
    }
    case Storage::Date:
        return MakeDate(column.integerAt(row), column.type());
    case Storage::Text:
        return MakeText(Kind::Text, column.textAt(row));
    case Storage::Bytes:
        return MakeText(Kind::Bytes, column.textAt(row));
    case Storage::Pending:
        break;
    }
    return {};
}

GridExportValue GridExportValue::FromCell(const Cell &cell, FieldType declared)
{
    switch (cell.kind) {
    case Cell::Kind::Null:
        return {};
    case Cell::Kind::Integer:
        return declared == FieldType::Boolean ? Make(Kind::Bool, cell.integer != 0)
                                              : Make(Kind::Integer, cell.integer);
    case Cell::Kind::Real: {
        if (declared == FieldType::Boolean)
            return Make(Kind::Bool, cell.real != 0);
        GridExportValue value;
        value.kind = Kind::Real;
        value.real = cell.real;
        return value;
    }
    case Cell::Kind::Text: {
        const std::string_view text = cell.bytes();
        std::int64_t ms = 0;
        if (isDateType(declared)) {
            if (IsoDate::parseStored(text, ms))
                return MakeDate(ms, declared);
            if (const auto parsed = IsoDate::parse(text))
                return MakeDate(*parsed, declared);
        } else if (declared == FieldType::Other) {
            // As a result's column without a type takes a date: in any ISO form but a time.
            FieldType kind = FieldType::Date;
            if (IsoDate::parseStored(text, ms))
                return Make(Kind::Date, ms);
            if (const auto parsed = IsoDate::parse(text, &kind); parsed && kind != FieldType::Time)
                return Make(Kind::Date, *parsed);
        } else if (declared == FieldType::Boolean) {
            std::int64_t number = 0;
            const auto read = std::from_chars(text.data(), text.data() + text.size(), number);
            if (read.ec == std::errc() && read.ptr == text.data() + text.size() && !text.empty())
                return Make(Kind::Bool, number != 0);
        }
        return MakeText(Kind::Text, text);
    }
    case Cell::Kind::Blob:
        return MakeText(Kind::Bytes, cell.bytes());
    }
    return {};
}
