#pragma once

#include "host/db/dataset/TQuillonTempTable.h"

#include <QVariant>

#include <gtest/gtest.h>

#include <initializer_list>

// Appends a record with these values in field order and posts it.
inline void AddRow(TQuillonTempTable &table, std::initializer_list<QVariant> values)
{
    ASSERT_TRUE(table.brAppend());
    int field = 0;
    for (const QVariant &value : values)
        ASSERT_TRUE(table.Field(field++).SetAsVariant(value));
    ASSERT_TRUE(table.brPost()) << table.LastErrorText().toStdString();
}
