#pragma once

#include "host/db/engine/DbError.h"
#include "host/db/engine/Value.h"

#include <QString>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string_view>

class Connection;

// The store's own fixed statements (schema checks, the delete procedure, demo data); values are
// always bound.

// The first column of the first row as an integer (0 for null or no row); nullopt on failure.
std::optional<std::int64_t> QueryInt(Connection &connection, std::string_view sql,
    std::initializer_list<Value> values, DbError &error);

QString ErrorText(const DbError &error);

// One line for a database file that could not be used: locked, not a database, unreadable, or
// the engine's own words.
QString FileErrorText(const QString &fileName, const DbError &error);
