#include "HostDatabases.h"
#include "PrintQt.h"

#include "host/core/HostContext.h"
#include "host/ui/HostScript.h"
#include "host/core/SystemValues.h"
#include "host/ui/TfrmSystemSettings.h"

#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QString kTimeout = "IQ Report Timeout (Minutes)";
const QString kRetry = "IQ Report Retry Count";

TEST(SystemValuesTest, MissingValuesGiveTheDefaultAndWritesReplace)
{
    HostDatabases databases;
    EXPECT_EQ(GetCurrentSystemValue(kTimeout, "0"), "0");
    EXPECT_EQ(databases.count(databases.common(), "select count(*) from _btblSystemValues"), 0);
    EXPECT_EQ(GetCurrentSystemValue(kRetry, "1", true), "1"); // stored for System Settings
    EXPECT_EQ(databases.text(databases.common(),
                  "select cValue from _btblSystemValues where cName = 'IQ Report Retry Count'"),
        "1");

    databases.exec(databases.common(),
        "insert into _btblSystemValues values ('IQ Report Timeout (Minutes)', '2', 'Minutes')");
    EXPECT_EQ(GetCurrentSystemValue(kTimeout, "0"), "2");
    ASSERT_TRUE(SetCurrentSystemValue(kTimeout, "it's 5"));
    EXPECT_EQ(GetCurrentSystemValue(kTimeout, "0"), "it's 5");
    EXPECT_EQ(databases.text(databases.common(),
                  "select cDescription from _btblSystemValues where cName = "
                  "'IQ Report Timeout (Minutes)'"),
        "Minutes");

    SetHostConnections(nullptr, nullptr);
    EXPECT_EQ(GetCurrentSystemValue(kTimeout, "0"), "0");
    EXPECT_FALSE(SetCurrentSystemValue(kTimeout, "1"));
}

int RowOf(QTableWidget *grid, const QString &name)
{
    for (int row = 0; row < grid->rowCount(); ++row) {
        if (grid->item(row, 0)->text() == name)
            return row;
    }
    return -1;
}

TEST(SystemValuesTest, SettingsWindowRefusesBadNumbersAndWritesOnlyChanges)
{
    HostDatabases databases;
    HostScript script;
    databases.exec(databases.common(),
        "insert into _btblSystemValues values ('Company Name', 'Acme', 'Shown in reports')");

    auto edit = [&](const QString &name, const QString &value) {
        script.onModal("TfrmSystemSettings", [=](QDialog &dlg) {
            auto *grid = dlg.findChild<QTableWidget *>("grdValues");
            ASSERT_EQ(grid->rowCount(), 3); // both IQ values listed although absent
            const int row = RowOf(grid, name);
            ASSERT_GE(row, 0);
            grid->item(row, 1)->setText(value);
            QTest::mouseClick(dlg.findChild<QPushButton *>("btnOK"), Qt::LeftButton);
        });
    };

    edit(kTimeout, "ten");
    EXPECT_FALSE(DoSystemSettings());
    EXPECT_EQ(script.takeMessages(),
        QStringList {
            "The value of \"IQ Report Timeout (Minutes)\" must be a whole number of 0 or more." });
    EXPECT_EQ(databases.count(databases.common(), "select count(*) from _btblSystemValues"), 1);

    edit(kTimeout, " 10 ");
    EXPECT_TRUE(DoSystemSettings());
    EXPECT_TRUE(script.takeMessages().isEmpty());
    EXPECT_EQ(GetCurrentSystemValue(kTimeout, "0"), "10");
    EXPECT_EQ(GetCurrentSystemValue(kRetry, "none"), "none"); // left at its default: not stored
    EXPECT_EQ(GetCurrentSystemValue("Company Name", ""), "Acme");
}

} // namespace
