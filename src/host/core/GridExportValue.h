#pragma once

#include "host/db/engine/FieldType.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

class ResultColumn;
struct Cell;

// One value as the export formats see it: read when it is written, never kept. A text points
// into the result or into the statement's current row.
struct GridExportValue
{
    enum class Kind : std::uint8_t { Null, Bool, Integer, Real, Date, Time, Text, Bytes };
    Kind kind = Kind::Null;
    union {
        // Bool (0 or 1), Integer; Date: ms since 1970-01-01 (IsoDate); Time: ms since midnight.
        std::int64_t integer = 0;
        double real;
    };
    std::string_view text; // Text (UTF-8 as stored), Bytes

    // A value held in a result's column.
    static GridExportValue Stored(const ResultColumn &column, std::size_t row);
    // A statement's cell, read for a field of the declared type as a result's column would hold
    // it: dates of date fields (and texts in the stored date forms where no type is declared)
    // become dates, numbers of a Boolean field booleans; any other value stays as it came.
    static GridExportValue FromCell(const Cell &cell, FieldType declared);
};
