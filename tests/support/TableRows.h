#pragma once

#include "host/db/dataset/TQuillonADOQuery.h"
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

// Opens the statement on the connection; one that fails fails the test.
inline void OpenQuery(TQuillonADOQuery &query, Connection &connection, const QString &sql)
{
    query.SetConnection(&connection);
    query.SetSQL(sql);
    ASSERT_TRUE(query.Open()) << query.LastErrorText().toStdString();
}
