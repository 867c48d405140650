#include "host/core/ClassRegistry.h"
#include "host/ui/HostScript.h"
#include "host/ui/TQuillonPackageInterface.h"
#include "package/qpChartsIntf.h"

#include <QApplication>
#include <QIcon>

#include <gtest/gtest.h>

namespace {

std::unique_ptr<TQuillonPackageInterface> createRegistered()
{
    const PackageFactory factory = FindClass("TrpICharts");
    return std::unique_ptr<TQuillonPackageInterface>(factory ? factory() : nullptr);
}

TEST(PackageRegistration, CounterKeepsOneRegistrationUntilTheLastShutDown)
{
    // Linking the package ran its start-up once already.
    ASSERT_EQ(qpChartsRegistrationCount(), 1);
    ASSERT_TRUE(FindClass("TrpICharts"));
    qpChartsInitialize(); // a second start-up must not register twice
    EXPECT_EQ(qpChartsRegistrationCount(), 2);
    EXPECT_EQ(RegisteredClasses().filter("TrpICharts", Qt::CaseInsensitive).size(), 1);
    qpChartsFinalize();
    EXPECT_TRUE(FindClass("TrpICharts")) << "removed while a start-up still holds it";
    qpChartsFinalize();
    EXPECT_FALSE(FindClass("TrpICharts"));
    qpChartsFinalize(); // an extra shut-down must not go below zero
    EXPECT_EQ(qpChartsRegistrationCount(), 0);
    qpChartsInitialize();
    EXPECT_TRUE(FindClass("TrpICharts"));
}

TEST(PackageRegistration, ObjectClassListDeclaresThePageAndTheListWithExactValues)
{
    auto package = createRegistered();
    ASSERT_TRUE(package);
    package->GetObjectClassList();
    const auto &entries = package->ObjectClasses();
    ASSERT_EQ(entries.size(), 2u);
    // "modules|class|meta class|icon|options|caption|colour|extra"
    const auto describe = [](const TObjectClassEntry &entry) {
        QStringList modules;
        for (const int module : entry.modules)
            modules << QString::number(module);
        return QStringList { modules.join(','), entry.className,
            entry.classRef ? entry.classRef->className() : "<none>", entry.iconName,
            QString::number(entry.options), entry.caption, QString::number(entry.color),
            QString::number(entry.extra) }
            .join('|');
    };
    EXPECT_EQ(describe(entries[0]),
        "1|TfrmGroupManagerCharts|TfrmGroupManagerCharts|CHART|320||13607936|0");
    EXPECT_EQ(describe(entries[1]),
        "1|TfrmIPEasyEnquiry|TfrmIPEasyEnquiry|IQTREENODE|65|Easy Show Enquiry|13607936|0");

    // The icon groups the package carries, each at both sizes.
    for (const char *name :
        { "CHART", "CHART_TILE", "IQTREENODE", "IQTREENODE_TILE", "PAYROLLCHARTS",
            "PAYROLLCHARTS_TILE", "TFRMGROUPMANAGERCHARTS", "TFRMGROUPMANAGERCHARTS_TILE" }) {
        SCOPED_TRACE(name);
        for (int size : { 16, 32 }) {
            const QIcon icon = package->QueryObjectIcon(size, name, 0);
            ASSERT_FALSE(icon.isNull());
            EXPECT_EQ(icon.pixmap(size, size).width(), size);
        }
    }
}

TEST(PackageMessages, HandledFlagFollowsTheFourCases)
{
    auto package = createRegistered();
    HostScript script;
    // Another message: left as the base left it, nothing opens.
    bool handled = false;
    package->NonVisiblePkgMessage(1234, 0, 0, handled);
    EXPECT_FALSE(handled);
    EXPECT_TRUE(script.takeMessages().isEmpty());
    handled = true;
    package->NonVisiblePkgMessage(1234, 0, 0, handled);
    EXPECT_TRUE(handled);

    // Already handled by the base: nothing opens, even for 9399 and 9400.
    package->SetBaseMessageFilter(
        [](int message, qint64, qint64) { return message == 9399 || message == 9400; });
    for (int message : { 9399, 9400 }) {
        handled = false;
        package->NonVisiblePkgMessage(message, 0, 0, handled);
        EXPECT_TRUE(handled);
    }
    EXPECT_TRUE(script.takeMessages().isEmpty());
    EXPECT_EQ(QApplication::topLevelWidgets().size(), 0);
    package->SetBaseMessageFilter(nullptr);

    // 9400 reaches the editor, which finds no database open here and says so; the message
    // counts as handled.
    handled = false;
    package->NonVisiblePkgMessage(9400, 0, 0, handled);
    EXPECT_TRUE(handled);
    EXPECT_EQ(script.takeMessages(), QStringList { "No payroll database is open." });
}

} // namespace
