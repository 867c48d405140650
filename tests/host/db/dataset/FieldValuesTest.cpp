#include "host/db/dataset/FieldValues.h"

#include <gtest/gtest.h>

// What a window hands a field, and what is stored: the conversions must never guess.
TEST(FieldValues, ConvertsWhatFitsAndRefusesTheRest)
{
    const struct
    {
        const char *name;
        QVariant value;
        FieldType type;
        std::optional<Value> stored;
    } cases[] = {
        { "null stays null", QVariant(), FieldType::Integer, Value() },
        { "empty text is text", QString(""), FieldType::String, Value(std::string()) },
        { "text to integer", QString(" 12 "), FieldType::Integer, Value(std::int64_t(12)) },
        { "whole real to integer", 3.0, FieldType::Integer, Value(std::int64_t(3)) },
        { "fraction to integer", 3.5, FieldType::Integer, std::nullopt },
        { "word to integer", QString("twelve"), FieldType::Integer, std::nullopt },
        { "bool to integer", true, FieldType::Integer, Value(std::int64_t(1)) },
        { "text to float", QString("2.25"), FieldType::Float, Value(2.25) },
        { "comma decimal refused", QString("2,25"), FieldType::Float, std::nullopt },
        { "yes to boolean", QString("Yes"), FieldType::Boolean, Value(std::int64_t(1)) },
        { "number to boolean", 7, FieldType::Boolean, Value(std::int64_t(1)) },
        { "maybe to boolean", QString("maybe"), FieldType::Boolean, std::nullopt },
        { "QDate to date", QDate(2024, 2, 29), FieldType::Date, Value(std::string("2024-02-29")) },
        { "QDateTime to datetime", QDateTime(QDate(2024, 2, 29), QTime(13, 5, 6, 7)),
            FieldType::DateTime, Value(std::string("2024-02-29 13:05:06.007")) },
        { "ISO text to datetime", QString("2024-02-29"), FieldType::DateTime,
            Value(std::string("2024-02-29 00:00:00")) },
        { "time text", QString("08:30"), FieldType::Time, Value(std::string("08:30:00")) },
        { "local date text refused", QString("29/02/2024"), FieldType::Date, std::nullopt },
        { "invalid date refused", QDateTime(), FieldType::DateTime, std::nullopt },
        { "date into text field", QDate(2024, 1, 2), FieldType::Memo,
            Value(std::string("2024-01-02 00:00:00")) },
        { "bytes to blob", QByteArray("\x00\x01", 2), FieldType::Blob, Value(Blob { { 0, 1 } }) },
        { "untyped keeps the kind", 2.5, FieldType::Other, Value(2.5) },
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.name);
        QString error;
        const auto stored = FieldValues::toValue(row.value, row.type, "fField", error);
        EXPECT_EQ(stored, row.stored);
        if (!row.stored) {
            EXPECT_EQ(error,
                QStringLiteral("Value \"%1\" is not valid for the field \"fField\".")
                    .arg(row.value.toString()));
        }
    }
}
