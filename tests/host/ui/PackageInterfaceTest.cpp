#include "PrintQt.h"

#include "host/core/ClassRegistry.h"
#include "host/ui/TQuillonPackageInterface.h"
#include "host/ui/TfrmGroupManager.h"

#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class TfrmTestPage final : public TfrmGroupManager
{
    Q_OBJECT
public:
    int DefaultViewStyle() const override { return vsLargeIcons; }
};

class TfrmTestList final : public QWidget
{
    Q_OBJECT
};

class TestPackage final : public TQuillonPackageInterface
{
public:
    void GetObjectClassList() override
    {
        TQuillonPackageInterface::GetObjectClassList();
        AddObjectClass(
            { 1 }, "TfrmTestPage", &TfrmTestPage::staticMetaObject, "CHART", 320, "", 13607936, 0);
        AddObjectClass({ 1 }, "TfrmTestList", &TfrmTestList::staticMetaObject, "IQTREENODE", 65,
            "Easy Show Enquiry", 13607936, 0);
    }
};

TEST(PackageInterfaceTest, ObjectClassesKeepAllValuesAndAreNotListedTwice)
{
    TestPackage package;
    package.GetObjectClassList();
    package.GetObjectClassList();
    const auto &classes = package.ObjectClasses();
    ASSERT_EQ(classes.size(), 2u);
    const TObjectClassEntry &list = classes[1];
    EXPECT_EQ(list.modules, QSet<int> { 1 });
    EXPECT_EQ(list.className, "TfrmTestList");
    EXPECT_EQ(list.classRef, &TfrmTestList::staticMetaObject);
    EXPECT_EQ(list.iconName, "IQTREENODE");
    EXPECT_EQ(list.options, 65);
    EXPECT_EQ(list.caption, "Easy Show Enquiry");
    EXPECT_EQ(list.color, 13607936);
    EXPECT_EQ(list.extra, 0);
    EXPECT_TRUE(package.QueryObjectIcon(16, "NO_SUCH_ICON", 0).isNull());
}

TEST(PackageInterfaceTest, BaseHandlesOnlyWhatItsFilterAcceptsAndNeverUnhandles)
{
    TestPackage package;
    bool handled = false;
    package.NonVisiblePkgMessage(9399, 1, 0, handled);
    EXPECT_FALSE(handled);
    handled = true;
    package.NonVisiblePkgMessage(1234, 0, 0, handled);
    EXPECT_TRUE(handled);

    package.SetBaseMessageFilter([](int message, qint64, qint64) { return message == 9399; });
    handled = false;
    package.NonVisiblePkgMessage(9399, 1, 0, handled);
    EXPECT_TRUE(handled);
    handled = false;
    package.NonVisiblePkgMessage(9400, 1, 0, handled);
    EXPECT_FALSE(handled);
}

TEST(PackageInterfaceTest, ClassRegistryFindsByNameInAnyCase)
{
    int made = 0;
    auto factory = [&]() -> TQuillonPackageInterface * {
        ++made;
        return new TestPackage;
    };
    ASSERT_TRUE(RegisterClass("TrpITest", factory));
    EXPECT_FALSE(RegisterClass("trpitest", factory)); // once only
    EXPECT_TRUE(RegisteredClasses().contains("TrpITest"));

    PackageFactory found = FindClass("TRPITEST");
    ASSERT_TRUE(found);
    std::unique_ptr<TQuillonPackageInterface> instance(found());
    EXPECT_EQ(made, 1);

    EXPECT_TRUE(UnRegisterClass("TrpITest"));
    EXPECT_FALSE(UnRegisterClass("TrpITest"));
    EXPECT_FALSE(FindClass("TrpITest"));
}

TEST(PackageInterfaceTest, GroupManagerListsObjectsAndOpensTheActivatedOne)
{
    TestPackage package;
    package.GetObjectClassList();
    TfrmTestPage page;
    QStringList opened;
    page.SetOpenHandler([&](const QString &className) { opened << className; });
    page.LoadObjects(package);
    page.show();
    EXPECT_EQ(page.CurrentViewStyle(), TfrmGroupManager::vsLargeIcons);

    auto *list = page.findChild<QListWidget *>("lvObjects");
    ASSERT_EQ(list->count(), 1); // the page itself is not listed
    EXPECT_EQ(list->item(0)->text(), "Easy Show Enquiry");
    list->setCurrentRow(0);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(opened, QStringList { "TfrmTestList" });
}

} // namespace

#include "PackageInterfaceTest.moc"
