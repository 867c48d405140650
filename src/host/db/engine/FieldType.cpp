#include "host/db/engine/FieldType.h"

#include "host/db/engine/NameFold.h"

#include <array>
#include <cctype>
#include <string>

namespace {

struct TypeWord
{
    std::string_view word;
    FieldType type;
};

// Longest names first where one is the start of another (DATETIME before DATE).
constexpr std::array kTypeWords {
    TypeWord { "NVARCHAR", FieldType::WideString },
    TypeWord { "NCHAR", FieldType::WideString },
    TypeWord { "NATIONAL", FieldType::WideString },
    TypeWord { "NTEXT", FieldType::Memo },
    TypeWord { "VARCHAR", FieldType::String },
    TypeWord { "VARYING", FieldType::String },
    TypeWord { "CHARACTER", FieldType::String },
    TypeWord { "CHAR", FieldType::String },
    TypeWord { "TEXT", FieldType::Memo },
    TypeWord { "MEMO", FieldType::Memo },
    TypeWord { "CLOB", FieldType::Memo },
    TypeWord { "LONGTEXT", FieldType::Memo },
    TypeWord { "MEDIUMTEXT", FieldType::Memo },
    TypeWord { "LONG", FieldType::Memo },
    TypeWord { "INTEGER", FieldType::Integer },
    TypeWord { "BIGINT", FieldType::Integer },
    TypeWord { "SMALLINT", FieldType::Integer },
    TypeWord { "TINYINT", FieldType::Integer },
    TypeWord { "MEDIUMINT", FieldType::Integer },
    TypeWord { "INT", FieldType::Integer },
    TypeWord { "INT2", FieldType::Integer },
    TypeWord { "INT8", FieldType::Integer },
    TypeWord { "UNSIGNED", FieldType::Integer },
    TypeWord { "BOOLEAN", FieldType::Boolean },
    TypeWord { "BOOL", FieldType::Boolean },
    TypeWord { "BIT", FieldType::Boolean },
    TypeWord { "REAL", FieldType::Float },
    TypeWord { "FLOAT", FieldType::Float },
    TypeWord { "DOUBLE", FieldType::Float },
    TypeWord { "NUMERIC", FieldType::Float },
    TypeWord { "DECIMAL", FieldType::Float },
    TypeWord { "MONEY", FieldType::Float },
    TypeWord { "SMALLMONEY", FieldType::Float },
    TypeWord { "DATETIME", FieldType::DateTime },
    TypeWord { "DATETIME2", FieldType::DateTime },
    TypeWord { "SMALLDATETIME", FieldType::DateTime },
    TypeWord { "DATETIMEOFFSET", FieldType::DateTime },
    TypeWord { "TIMESTAMP", FieldType::DateTime },
    TypeWord { "DATE", FieldType::Date },
    TypeWord { "TIME", FieldType::Time },
    TypeWord { "BLOB", FieldType::Blob },
    TypeWord { "IMAGE", FieldType::Blob },
    TypeWord { "VARBINARY", FieldType::Blob },
    TypeWord { "BINARY", FieldType::Blob },
};

} // namespace

FieldType fieldTypeFromDeclared(std::string_view declared)
{
    // The first word decides ("VARCHAR(10)", "double precision", "unsigned big int").
    std::string word;
    std::size_t i = 0;
    while (i < declared.size() && std::isspace(static_cast<unsigned char>(declared[i])))
        ++i;
    while (i < declared.size()
        && (std::isalnum(static_cast<unsigned char>(declared[i])) || declared[i] == '_'))
        word.push_back(declared[i++]);
    if (word.empty())
        return FieldType::Other;

    FieldType type = FieldType::Other;
    for (const TypeWord &entry : kTypeWords) {
        if (NameFold::same(entry.word, word)) {
            type = entry.type;
            break;
        }
    }
    // VARCHAR(MAX) and NVARCHAR(MAX) are long text, as their drivers report them.
    if (type == FieldType::String || type == FieldType::WideString) {
        if (NameFold::fold(declared.substr(i)).find("max") != std::string::npos)
            type = FieldType::Memo;
    }
    return type;
}

bool isTextType(FieldType type)
{
    return type == FieldType::String || type == FieldType::WideString || type == FieldType::Memo;
}

bool isDateType(FieldType type)
{
    return type == FieldType::Date || type == FieldType::Time || type == FieldType::DateTime;
}
