#include "host/db/engine/SqlText.h"

#include "host/db/engine/Connection.h"

#include <cctype>

std::string SqlText::quoteIdentifier(std::string_view name)
{
    std::string out = "\"";
    for (char c : name) {
        out.push_back(c);
        if (c == '"')
            out.push_back('"');
    }
    out.push_back('"');
    return out;
}

std::string SqlText::unquoteIdentifier(std::string_view name)
{
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t'))
        name.remove_prefix(1);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t'))
        name.remove_suffix(1);
    if (name.size() >= 2) {
        const char open = name.front();
        const char close = open == '[' ? ']' : open;
        if ((open == '"' || open == '[' || open == '`') && name.back() == close) {
            std::string out;
            const std::string_view inner = name.substr(1, name.size() - 2);
            for (std::size_t i = 0; i < inner.size(); ++i) {
                out.push_back(inner[i]);
                if (open != '[' && inner[i] == close && i + 1 < inner.size()
                    && inner[i + 1] == close)
                    ++i;
            }
            return out;
        }
    }
    return std::string(name);
}

void SqlText::splitName(std::string_view name, std::string &schema, std::string &table)
{
    char quote = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '`') {
            quote = c;
        } else if (c == '[') {
            quote = ']';
        } else if (c == '.') {
            schema = unquoteIdentifier(name.substr(0, i));
            table = unquoteIdentifier(name.substr(i + 1));
            return;
        }
    }
    schema.clear();
    table = unquoteIdentifier(name);
}

std::string SqlText::bareName(std::string_view qualified)
{
    // The last dot outside brackets and quotes starts the name.
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i < qualified.size(); ++i) {
        const char c = qualified[i];
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '[') {
            quote = ']';
        } else if (c == '"' || c == '`') {
            quote = c;
        } else if (c == '.') {
            start = i + 1;
        }
    }
    std::string_view name = qualified.substr(start);
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.front())))
        name.remove_prefix(1);
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back())))
        name.remove_suffix(1);
    if (name.size() >= 2 && (name.front() == '[' || name.front() == '"' || name.front() == '`'))
        name = name.substr(1, name.size() - 2);
    return std::string(name);
}

Value SqlText::cell(const Statement &statement, int column)
{
    switch (statement.valueType(column)) {
    case FieldType::Integer:
        return statement.asInt64(column);
    case FieldType::Float:
        return statement.asDouble(column);
    case FieldType::Blob:
        return statement.asBlob(column);
    case FieldType::Other:
        if (statement.isNull(column))
            return Value();
        break;
    default:
        break;
    }
    return std::string(statement.asText(column));
}

std::string SqlText::insertRow(std::string_view table, const std::vector<std::string> &columns)
{
    std::string sql = "INSERT INTO " + std::string(table);
    if (columns.empty())
        return sql + " DEFAULT VALUES";
    std::string values;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        sql += (i ? ", " : " (") + quoteIdentifier(columns[i]);
        values += i ? ", ?" : "?";
    }
    return sql + ") VALUES (" + values + ")";
}

std::string SqlText::updateRow(
    std::string_view table, const std::vector<std::string> &columns, std::string_view key)
{
    std::string sql = "UPDATE " + std::string(table) + " SET ";
    for (std::size_t i = 0; i < columns.size(); ++i)
        sql += (i ? ", " : "") + quoteIdentifier(columns[i]) + " = ?";
    return sql + " WHERE " + quoteIdentifier(key) + " = ?";
}

std::string SqlText::deleteRow(std::string_view table, std::string_view key)
{
    return "DELETE FROM " + std::string(table) + " WHERE " + quoteIdentifier(key) + " = ?";
}

std::string SqlText::selectRow(std::string_view table, std::string_view key)
{
    return "select * from " + std::string(table) + " where " + quoteIdentifier(key) + " = ?";
}
