#pragma once

#include <string_view>

// Type class of a field, from the column's declared type (or its first value when undeclared).
enum class FieldType {
    Boolean,
    Integer,
    Float,
    String, // single-byte text: CHAR, VARCHAR
    WideString, // NCHAR, NVARCHAR
    Memo, // TEXT, NTEXT, long text
    Date,
    Time,
    DateTime,
    Blob,
    Other
};

// Declared SQL type text ("VARCHAR(10)", "datetime", "bit") to a type class; empty gives Other.
FieldType fieldTypeFromDeclared(std::string_view declared);
bool isTextType(FieldType type);
bool isDateType(FieldType type); // Date, Time, DateTime
