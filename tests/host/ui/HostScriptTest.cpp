#include "Click.h"
#include "PrintQt.h"

#include "host/core/Messages.h"
#include "host/ui/HostScript.h"
#include "host/ui/ModalDialogs.h"
#include "host/ui/TfrmQuillonDlgBase.h"

#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A dialog whose OK is refused while the code is blank, as the package's dialogs do.
class TfrmTestCodeDlg final : public TfrmQuillonDlgBase
{
    Q_OBJECT
public:
    TfrmTestCodeDlg()
    {
        edtCode = new QLineEdit(ClientPanel());
        edtCode->setObjectName("edtCode");
        auto *layout = new QVBoxLayout(ClientPanel());
        layout->addWidget(edtCode);
    }
    QString Code() const { return edtCode->text(); }

protected:
    bool CanClose() override
    {
        if (!edtCode->text().trimmed().isEmpty())
            return true;
        InfoMessage("The Code may not be blank.");
        edtCode->setFocus();
        return false;
    }

private:
    QLineEdit *edtCode;
};

TEST(HostScriptTest, AnswersMessagesInQueueOrderAndDefaultsWhenNothingIsQueued)
{
    HostScript script;
    script.answer(QMessageBox::Yes);
    script.answer(QMessageBox::Cancel);

    EXPECT_TRUE(ConfMessage("Delete Enquiry \"Staff\" ?"));
    EXPECT_FALSE(ConfMessage("Save changes?", MsgButtons::YesNoCancel));
    EXPECT_FALSE(ConfMessage("Really?")); // nothing queued: No
    InfoMessage("Done."); // nothing queued: OK
    EXPECT_TRUE(ConfMessage("Continue?", MsgButtons::OKCancel));
    ErrMessage("It failed.");

    EXPECT_EQ(script.takeMessages(),
        QStringList({ "Delete Enquiry \"Staff\" ?", "Save changes?", "Really?", "Done.",
            "Continue?", "It failed." }));
    EXPECT_TRUE(script.takeMessages().isEmpty());

    const auto &log = script.messageLog();
    ASSERT_EQ(log.size(), 6u);
    const struct
    {
        MsgKind kind;
        MsgButtons buttons;
        QMessageBox::StandardButton answer;
        bool defaulted;
    } expected[] = {
        { MsgKind::Confirm, MsgButtons::YesNo, QMessageBox::Yes, false },
        { MsgKind::Confirm, MsgButtons::YesNoCancel, QMessageBox::Cancel, false },
        { MsgKind::Confirm, MsgButtons::YesNo, QMessageBox::No, true },
        { MsgKind::Info, MsgButtons::OK, QMessageBox::Ok, true },
        { MsgKind::Confirm, MsgButtons::OKCancel, QMessageBox::Ok, true },
        { MsgKind::Error, MsgButtons::OK, QMessageBox::Ok, true },
    };
    for (size_t i = 0; i < log.size(); ++i) {
        SCOPED_TRACE(log[i].text.toStdString());
        EXPECT_EQ(log[i].kind, expected[i].kind);
        EXPECT_EQ(log[i].buttons, expected[i].buttons);
        EXPECT_EQ(log[i].answer, expected[i].answer);
        EXPECT_EQ(log[i].defaulted, expected[i].defaulted);
    }
    EXPECT_EQ(script.pendingAnswers(), 0);
}

TEST(HostScriptTest, RefusedOkKeepsTheDialogOpenAndTheScriptCancelsIt)
{
    HostScript script;
    TfrmTestCodeDlg dlg;
    bool stillOpen = false;
    script.onModal("TfrmTestCodeDlg", [&](QDialog &shown) {
        EXPECT_EQ(ActiveHostWindow(), &shown);
        Click(shown, "btnOK");
        stillOpen = shown.isVisible();
    });
    EXPECT_EQ(ExecModal(dlg), QDialog::Rejected);
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(script.takeMessages(), QStringList { "The Code may not be blank." });

    script.onModal("TfrmTestCodeDlg", [](QDialog &shown) {
        QTest::keyClicks(shown.findChild<QLineEdit *>("edtCode"), "IQB-1");
        Click(shown, "btnOK");
    });
    EXPECT_EQ(ExecModal(dlg), QDialog::Accepted);
    EXPECT_EQ(dlg.Code(), "IQB-1");
    EXPECT_TRUE(script.takeMessages().isEmpty());
    EXPECT_EQ(script.pendingModals(), 0);
}

TEST(HostScriptTest, EntriesAreUsedOnceMatchByObjectNameAndNest)
{
    HostScript script;
    TfrmTestCodeDlg outer;
    QDialog inner;
    inner.setObjectName("dlgInner");
    int innerResult = -1;
    script.onModal("dlgInner", [](QDialog &shown) { shown.accept(); });
    script.onModal("TfrmTestCodeDlg", [&](QDialog &) { innerResult = ExecModal(inner); });

    EXPECT_EQ(ExecModal(outer), QDialog::Rejected); // left open by its script
    EXPECT_EQ(innerResult, QDialog::Accepted);
    // No entry left: the next one is rejected without being shown, and recorded.
    EXPECT_EQ(ExecModal(outer), QDialog::Rejected);
    EXPECT_EQ(script.unscriptedDialogs(), QStringList { "TfrmTestCodeDlg" });
    ASSERT_EQ(script.modalLog().size(), 3u);
    EXPECT_EQ(script.modalLog()[0].objectName, "dlgInner");
    EXPECT_TRUE(script.modalLog()[1].scripted);
}

TEST(HostScriptTest, ScriptsStackAndUninstallThemselves)
{
    EXPECT_EQ(dynamic_cast<HostScript *>(&CurrentUiDelegate()), nullptr);
    {
        HostScript outer;
        {
            HostScript inner;
            InfoMessage("to inner");
            EXPECT_EQ(inner.takeMessages(), QStringList { "to inner" });
        }
        EXPECT_EQ(&CurrentUiDelegate(), &outer);
        EXPECT_TRUE(outer.takeMessages().isEmpty());
    }
    EXPECT_EQ(dynamic_cast<HostScript *>(&CurrentUiDelegate()), nullptr);
}

} // namespace

#include "HostScriptTest.moc"
