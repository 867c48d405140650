#pragma once

#include <QString>

class Connection;

// System values: named texts in _btblSystemValues of the common database.

// The stored text, or `defaultValue` when the value (or the database) is missing. With
// `createMissing`, a missing value is stored with the default so that System Settings lists it.
QString GetCurrentSystemValue(
    const QString &name, const QString &defaultValue, bool createMissing = false);
bool SetCurrentSystemValue(const QString &name, const QString &value);

// One write without a transaction of its own, for callers that write several values in one.
// The description is kept when `description` is null.
bool WriteSystemValue(Connection &connection, const QString &name, const QString &value,
    const QString &description, QString &error);
