#include "host/db/dataset/ProcParams.h"

#include "host/db/engine/NameFold.h"

#include <charconv>

QString ProcParams::Key(const QString &name)
{
    const QString trimmed = name.trimmed();
    return NameFold::fold(trimmed.startsWith('@') ? trimmed.mid(1) : trimmed);
}

void ProcParams::SetValue(const QString &name, const Value &value)
{
    const QString key = Key(name);
    for (auto &param : m_params) {
        if (param.first == key) {
            param.second = value;
            return;
        }
    }
    m_params.emplace_back(key, value);
}

bool ProcParams::Contains(const QString &name) const
{
    const QString key = Key(name);
    for (const auto &param : m_params) {
        if (param.first == key)
            return true;
    }
    return false;
}

Value ProcParams::ValueOf(const QString &name) const
{
    const QString key = Key(name);
    for (const auto &param : m_params) {
        if (param.first == key)
            return param.second;
    }
    return Value();
}

std::optional<std::int64_t> ProcParams::IntegerOf(const QString &name) const
{
    const Value value = ValueOf(name);
    if (const auto *number = std::get_if<std::int64_t>(&value))
        return *number;
    if (const auto *real = std::get_if<double>(&value)) {
        if (*real == static_cast<double>(static_cast<std::int64_t>(*real)))
            return static_cast<std::int64_t>(*real);
    }
    if (const auto *text = std::get_if<std::string>(&value)) {
        std::int64_t number = 0;
        const auto result = std::from_chars(text->data(), text->data() + text->size(), number);
        if (result.ec == std::errc() && result.ptr == text->data() + text->size() && !text->empty())
            return number;
    }
    return std::nullopt;
}
