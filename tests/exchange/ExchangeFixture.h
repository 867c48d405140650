#pragma once

#include "FileBytes.h"
#include "TestDatabases.h"

#include "host/db/engine/SqliteConnection.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

// The demo-free test databases as the source, and a second, empty payroll database as the
// target of imports.
class ExchangeFixture : public ::testing::Test
{
protected:
    void SetUp() override;

    // The IQ of the kept file known_iq.xml, with its columns and parameters; returns its id.
    int insertKnownEnquiry();
    // The file bytes of these IQs, as the export writes them.
    QByteArray exportBytes(const std::vector<int> &ids);
    static QString dataFile(const char *name);

    // Every row of the three IQ tables of `connection`, ids replaced by the owner's code, so that
    // two databases compare whatever ids they gave. An empty default counts as none: the file
    // leaves both out.
    static QStringList definitions(Connection &connection);

    TestDatabases db;
    std::unique_ptr<SqliteConnection> target;
};
