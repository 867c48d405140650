#include "Click.h"
#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/ChangeMessage.h"
#include "host/core/RegIni.h"
#include "host/ui/HostScript.h"
#include "host/ui/ModalDialogs.h"
#include "host/ui/TfrmQuillon.h"
#include "host/ui/TfrmQuillonDlg.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

using Received = std::vector<std::tuple<int, qint64, qint64>>;

class RecordingWindow : public TfrmQuillon
{
public:
    void HostMessage(int message, qint64 param1, qint64 param2) override
    {
        received.emplace_back(message, param1, param2);
        if (onMessage)
            onMessage();
    }
    Received received;
    std::function<void()> onMessage;
};

class RecordingDialog : public TfrmQuillonDlg
{
public:
    void HostMessage(int message, qint64 param1, qint64 param2) override
    {
        received.emplace_back(message, param1, param2);
    }
    Received received;
};

class TfrmTestView final : public TfrmQuillon
{
    Q_OBJECT
public:
    QString RegistryVersion() const override { return version; }
    int GetCurrentHelpContext() const override { return 180010; }
    QString version;
};

void PostChange(qint64 id)
{
    const int record = SetGlobalMessageInt(kMsgEasyEnquiryChanged, id, 0, nullptr);
    PostHostMessage(QuillonControl(), kMsgDeliverGlobalMessage, record, 0);
}

TEST(ChangeMessageTest, ReachesEveryOpenWindowOnlyWhenTheEventLoopRuns)
{
    RecordingWindow list1, list2;
    RecordingDialog dialog;
    const int pending = PendingGlobalMessages();

    PostChange(42);
    EXPECT_TRUE(list1.received.empty()); // posted, not sent
    EXPECT_TRUE(dialog.received.empty());
    QCoreApplication::sendPostedEvents();

    const Received expected { { 9401, 42, 0 } };
    EXPECT_EQ(list1.received, expected);
    EXPECT_EQ(list2.received, expected);
    EXPECT_EQ(dialog.received, expected);
    EXPECT_EQ(PendingGlobalMessages(), pending); // the record is used up

    // The same record posted again delivers nothing.
    const int record = SetGlobalMessageInt(kMsgEasyEnquiryChanged, 7, 1, nullptr);
    PostHostMessage(QuillonControl(), kMsgDeliverGlobalMessage, record, 0);
    PostHostMessage(QuillonControl(), kMsgDeliverGlobalMessage, record, 0);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(list1.received.size(), 2u);
    EXPECT_EQ(list1.received.back(), std::make_tuple(9401, qint64(7), qint64(1)));

    // A message posted to one window reaches only it.
    PostHostMessage(&list2, 9400, 5, 1);
    EXPECT_EQ(list2.received.size(), 2u); // posted, not sent
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(list2.received.back(), std::make_tuple(9400, qint64(5), qint64(1)));
    EXPECT_EQ(list1.received.size(), 2u);
    EXPECT_EQ(dialog.received.size(), 2u);
}

TEST(ChangeMessageTest, WindowsGoneBeforeOrDuringDeliveryAreSkipped)
{
    RecordingWindow first;
    auto *closedBefore = new RecordingWindow;
    auto *closedDuring = new RecordingWindow;
    first.onMessage = [&] {
        delete closedDuring; // the handler of one window closes another
        closedDuring = nullptr;
    };
    PostChange(3);
    delete closedBefore;
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(first.received.size(), 1u);
    EXPECT_EQ(closedDuring, nullptr);
}

TEST(HostWindowTest, PositionIsKeptInTheVersionedSectionAndResetErasesIt)
{
    TestDatabases databases;
    const QString section = "frmIPEasyEnquiryView_IQB-EMP002";
    {
        TfrmTestView view;
        view.SetRegistryName("frmIPEasyEnquiryView");
        view.version = "IQB-EMP002";
        EXPECT_EQ(view.QuillonRegName(), section);
        view.show();
        view.resize(432, 321);
        view.close();
    }
    EXPECT_EQ(RegIni::ReadInteger(section, "Width", 0), 432);
    EXPECT_EQ(RegIni::ReadInteger(section, "Height", 0), 321);
    {
        TfrmTestView view;
        view.SetRegistryName("frmIPEasyEnquiryView");
        view.version = "IQB-EMP002";
        view.resize(100, 100);
        view.show(); // restored when first shown
        EXPECT_EQ(view.size(), QSize(432, 321));
        view.SetResetRegistry(true);
        view.close();
    }
    EXPECT_FALSE(RegIni::SectionExists(section));
    {
        TfrmTestView view;
        view.SetRegistryName("frmIPEasyEnquiryView");
        view.version = "IQB-EMP002";
        view.SetSaveSettings(false);
        view.show();
        view.close();
    }
    EXPECT_FALSE(RegIni::SectionExists(section));
}

// Each round saves the window where it is and restores it there: a saved frame position read
// back as the client's (or the other way round) moves the window by its title bar every time.
// A position saved on a screen that is gone, or a size larger than this one, opens on screen.
TEST(HostWindowTest, WindowsReopenWhereTheyWereAndOnTheScreen)
{
    TestDatabases databases;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const struct
    {
        const char *name;
        QRect saved;
        bool kept;
    } rows[] = {
        { "on the screen", QRect(screen.topLeft() + QPoint(90, 110), QSize(400, 300)), true },
        { "above and left of it", QRect(screen.topLeft() - QPoint(2000, 900), QSize(400, 300)),
            false },
        { "larger than it", QRect(screen.topLeft(), screen.size() * 2), false },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        RegIni::EraseSection("frmTestView");
        RegIni::WriteInteger("frmTestView", "Left", row.saved.left());
        RegIni::WriteInteger("frmTestView", "Top", row.saved.top());
        RegIni::WriteInteger("frmTestView", "Width", row.saved.width());
        RegIni::WriteInteger("frmTestView", "Height", row.saved.height());
        QRect first;
        for (int round = 0; round < 5; ++round) {
            TfrmTestView view;
            view.show();
            if (round == 0)
                first = view.frameGeometry();
            EXPECT_EQ(view.frameGeometry(), first) << "round " << round;
            EXPECT_TRUE(screen.contains(view.geometry()));
            EXPECT_GE(view.frameGeometry().top(), screen.top()); // the title bar within reach
            if (row.kept) {
                EXPECT_EQ(view.geometry(), row.saved);
            }
            view.close();
        }
    }
}

TEST(HostWindowTest, DialogSavesItsPositionOnEveryWayOut)
{
    TestDatabases databases;
    HostScript script;
    RecordingDialog dialog;
    dialog.SetRegistryName("frmTestDlg");
    script.onModal("RecordingDialog", [](QDialog &shown) {
        shown.resize(250, 150);
        Click(shown, "btnCancel");
    });
    // Matched through the object name: a class without its own meta object has its base's name.
    dialog.setObjectName("RecordingDialog");
    EXPECT_EQ(ExecModal(dialog), QDialog::Rejected);
    EXPECT_EQ(RegIni::ReadInteger("frmTestDlg", "Width", 0), 250);
}

TEST(HostWindowTest, F1ShowsTheWindowsHelpContext)
{
    HostScript script;
    TfrmTestView view;
    view.show();
    QTest::keyClick(&view, Qt::Key_F1);
    EXPECT_EQ(script.takeMessages(), QStringList { "Help topic 180010" });
}

} // namespace

#include "HostWindowTest.moc"
