#pragma once

#include "host/db/engine/Value.h"

#include <QString>

#include <optional>
#include <vector>

// The named parameters of a stored procedure call ("@EasyEnquiryID"); names match in any
// letter case, with or without the leading "@".
class ProcParams
{
public:
    void SetValue(const QString &name, const Value &value);
    bool Contains(const QString &name) const;
    Value ValueOf(const QString &name) const; // NULL when absent
    // The value as a whole number; nullopt when absent, NULL or not a whole number.
    std::optional<std::int64_t> IntegerOf(const QString &name) const;
    void Clear() { m_params.clear(); }
    int Count() const { return static_cast<int>(m_params.size()); }

private:
    static QString Key(const QString &name);
    std::vector<std::pair<QString, Value>> m_params;
};
