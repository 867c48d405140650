#include "host/db/engine/ConnectionName.h"

#include "host/db/engine/OdbcConnection.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

// One "key=value" attribute of a connection string; a value in braces may hold ";" and "}}".
struct Attribute
{
    std::string_view key;
    std::string_view text; // the whole attribute as written, without its ";"
    bool terminated; // a ";" followed it
};

std::vector<Attribute> attributes(std::string_view connection)
{
    std::vector<Attribute> found;
    std::size_t at = 0;
    while (at < connection.size()) {
        const std::size_t start = at;
        const std::size_t equals = connection.find('=', at);
        std::size_t end = connection.find(';', at);
        if (equals != std::string_view::npos && (end == std::string_view::npos || equals < end)) {
            std::size_t value = equals + 1;
            while (value < connection.size() && connection[value] == ' ')
                ++value;
            if (value < connection.size() && connection[value] == '{') {
                std::size_t close = value + 1;
                for (; close < connection.size(); ++close) {
                    if (connection[close] != '}')
                        continue;
                    if (close + 1 < connection.size() && connection[close + 1] == '}')
                        ++close; // "}}" is a brace inside the value
                    else
                        break;
                }
                end = connection.find(';', std::min(close, connection.size()));
            }
        }
        if (end == std::string_view::npos)
            end = connection.size();
        const std::string_view text = connection.substr(start, end - start);
        const std::size_t keyEnd = std::min(text.find('='), text.size());
        std::string_view key = text.substr(0, keyEnd);
        while (!key.empty() && key.front() == ' ')
            key.remove_prefix(1);
        while (!key.empty() && key.back() == ' ')
            key.remove_suffix(1);
        if (!text.empty())
            found.push_back({ key, text, end < connection.size() });
        at = end + 1;
    }
    return found;
}

bool sameKey(std::string_view key, std::initializer_list<std::string_view> names)
{
    for (std::string_view name : names) {
        if (key.size() == name.size()
            && std::equal(key.begin(), key.end(), name.begin(), [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a))
                       == std::tolower(static_cast<unsigned char>(b));
               }))
            return true;
    }
    return false;
}

bool isUserKey(std::string_view key)
{
    return sameKey(key, { "UID", "User", "UserName", "Username" });
}

bool isPasswordKey(std::string_view key)
{
    return sameKey(key, { "PWD", "Password" });
}

// Braced when it must be, so that ";" and "}" in the value stay in it (drivers take a plain user
// name in braces as written, braces included).
std::string braced(std::string_view value)
{
    if (value.find_first_of(";{}= ") == std::string_view::npos)
        return std::string(value);
    std::string text = "{";
    for (char c : value) {
        text += c;
        if (c == '}')
            text += '}';
    }
    return text + "}";
}

} // namespace

std::string ConnectionName::connectionString(std::string_view name)
{
    const std::string_view rest = isOdbc(name) ? name.substr(kOdbcPrefix.size()) : name;
    return rest.find('=') == std::string_view::npos ? "DSN=" + std::string(rest)
                                                    : std::string(rest);
}

std::string ConnectionName::withLogin(
    std::string_view name, std::string_view user, std::string_view password)
{
    const std::string connection = connectionString(name);
    std::string result(kOdbcPrefix);
    for (const Attribute &attribute : attributes(connection)) {
        if (!isUserKey(attribute.key) && !isPasswordKey(attribute.key))
            result.append(attribute.text).append(";");
    }
    result += "UID=" + braced(user) + ";";
    if (!password.empty())
        result += "PWD=" + braced(password) + ";";
    return result;
}

std::string ConnectionName::displayName(std::string_view name)
{
    if (!isOdbc(name))
        return std::string(name);
    std::string result(kOdbcPrefix);
    const std::string connection(name.substr(kOdbcPrefix.size()));
    for (const Attribute &attribute : attributes(connection)) {
        result += isPasswordKey(attribute.key) ? std::string(attribute.key) + "=***"
                                               : std::string(attribute.text);
        if (attribute.terminated)
            result += ";";
    }
    return result;
}

bool ConnectionName::isOdbc(std::string_view name)
{
    if (name.size() < kOdbcPrefix.size())
        return false;
    for (std::size_t i = 0; i < kOdbcPrefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(name[i])) != kOdbcPrefix[i])
            return false;
    }
    return true;
}

std::unique_ptr<Connection> ConnectionName::open(
    std::string_view name, SqliteConnection::OpenMode mode, DbError &error)
{
    if (!isOdbc(name))
        return SqliteConnection::open(std::string(name), mode, error);
    const std::string_view rest = name.substr(kOdbcPrefix.size());
    if (rest.find_first_not_of(" \t") == std::string_view::npos) {
        error = DbError { "The ODBC connection is empty: give a DSN (odbc:DSN=name) or a "
                          "connection string after \"odbc:\".",
            0, "08001" };
        return nullptr;
    }
    // A bare name is a DSN, as people write it.
    return OdbcConnection::open(connectionString(name), error);
}
