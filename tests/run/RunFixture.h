#pragma once

#include "host/db/engine/Value.h"
#include "store/Databases.h"

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string_view>

// Real payroll and common databases (schema only) in a temporary folder, bound to the host.
class RunFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A new IQ; returns its id.
    int insertEnquiry(const QString &code, const QString &sql);
    // A parameter row; `date` in the stored form "YYYY-MM-DD HH:MM:SS".
    void insertParam(int enquiryId, const QString &name, int type, std::optional<QString> value,
        std::optional<QString> date = std::nullopt);
    void exec(
        Connection &connection, std::string_view sql, std::initializer_list<Value> values = {});
    void exec(std::string_view sql, std::initializer_list<Value> values = {});
    // The first column of each row, as text ("<null>" for null).
    QStringList texts(
        Connection &connection, std::string_view sql, std::initializer_list<Value> values = {});
    QStringList texts(std::string_view sql, std::initializer_list<Value> values = {});
    void signIn(int id, bool allPayrollCompanies, bool allPayFrequencies, bool allLocations);

    Connection &payroll();
    Connection &common();

    QTemporaryDir dir;
    std::optional<HostDatabases> db;
};
