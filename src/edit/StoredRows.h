#pragma once

#include "host/db/engine/Value.h"

#include <QString>

#include <string>
#include <vector>

class Connection;

// The rows an IQ owns in one of its detail tables (parameters, columns). Replace makes them
// exactly `rows`, in order: the stored rows are overwritten in key order, then rows are added
// and surplus rows deleted, so keys (and what points at them) are kept where they can be.
struct StoredRows
{
    const char *table;
    const char *key;
    std::vector<const char *> columns; // each row gives one value per column, in this order

    // `overwrite` false: a new IQ, whose rows are only added. Values are bound, never spliced.
    bool Replace(Connection &connection, int enquiryId, bool overwrite,
        const std::vector<std::vector<Value>> &rows, QString &error) const;
};
