#include "Click.h"
#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/Globals.h"
#include "host/core/SystemValues.h"
#include "host/ui/HostScript.h"
#include "host/ui/TfrmSystemSettings.h"

#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

const QString kTimeout = "IQ Report Timeout (Minutes)";

int RowOf(QTableWidget *grid, const QString &name)
{
    for (int row = 0; row < grid->rowCount(); ++row) {
        if (grid->item(row, 0)->text() == name)
            return row;
    }
    return -1;
}

TEST(TfrmSystemSettingsTest, RefusesBadValuesAndWritesOnlyChanges)
{
    TestDatabases databases;
    HostScript script;
    databases.exec(databases.common(),
        "delete from _btblSystemValues; insert into _btblSystemValues "
        "values ('Company Name', 'Acme', 'Shown in reports')");

    auto edit = [&](const QString &name, const QString &value) {
        script.onModal("TfrmSystemSettings", [=](QDialog &dlg) {
            auto *grid = dlg.findChild<QTableWidget *>("grdValues");
            ASSERT_EQ(grid->rowCount(), 6); // the values the program reads, listed although absent
            const int row = RowOf(grid, name);
            ASSERT_GE(row, 0);
            grid->item(row, 1)->setText(value);
            Click(dlg, "btnOK");
        });
    };

    edit(kTimeout, "ten");
    EXPECT_FALSE(DoSystemSettings());
    EXPECT_EQ(script.takeMessages(),
        QStringList {
            "The value of \"IQ Report Timeout (Minutes)\" must be a whole number of 0 or more." });
    EXPECT_EQ(databases.count(databases.common(), "select count(*) from _btblSystemValues"), 1);

    edit("IQ Text Parameter Values", "doubled");
    EXPECT_FALSE(DoSystemSettings());
    EXPECT_EQ(script.takeMessages(),
        QStringList { "The value of \"IQ Text Parameter Values\" must be one of: quotes doubled, "
                      "as typed." });

    // Switched on here, and at once for the runs that follow.
    edit("Extended Logging", "1");
    EXPECT_TRUE(DoSystemSettings());
    EXPECT_TRUE(bExtendedLogging);

    edit(kTimeout, " 10 ");
    EXPECT_TRUE(DoSystemSettings());
    EXPECT_TRUE(script.takeMessages().isEmpty());
    EXPECT_EQ(GetCurrentSystemValue(kTimeout, "0"), "10");
    EXPECT_EQ(GetCurrentSystemValue("IQ Report Retry Count", "none"), "none"); // not stored
    EXPECT_EQ(GetCurrentSystemValue("Company Name", ""), "Acme");
    bExtendedLogging = false;
}

} // namespace
