#include "edit/ui/TfrmIPEasySQLStatement.h"

#include "edit/StatementWords.h"
#include "host/core/Cursor.h"
#include "host/core/Messages.h"
#include "host/ui/CommandState.h"
#include "host/ui/ModalDialogs.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmIPEasySQLStatement::TfrmIPEasySQLStatement(QWidget *parent)
    : TfrmQuillonDlg(parent)
{
    setObjectName(QStringLiteral("frmIPEasySQLStatement"));
    resize(640, 420);
    setSizeGripEnabled(true);

    grpSQLStatement = new QGroupBox(tr("SQL Statement"), ClientPanel());
    grpSQLStatement->setObjectName(QStringLiteral("grpSQLStatement"));
    emSQLStatement = new QPlainTextEdit(grpSQLStatement);
    emSQLStatement->setObjectName(QStringLiteral("emSQLStatement"));
    emSQLStatement->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    emSQLStatement->setLineWrapMode(QPlainTextEdit::NoWrap);
    emSQLStatement->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab leaves the memo, so OK and Cancel are reachable without a mouse.
    emSQLStatement->setTabChangesFocus(true);

    auto *groupLayout = new QVBoxLayout(grpSQLStatement);
    groupLayout->addWidget(emSQLStatement);
    auto *clientLayout = new QVBoxLayout(ClientPanel());
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->addWidget(grpSQLStatement);
}

void TfrmIPEasySQLStatement::SetIPEasySQLStatement(const QString &value)
{
    FIPEasySQLStatement = value;
    emSQLStatement->setPlainText(value);
}

void TfrmIPEasySQLStatement::showEvent(QShowEvent *event)
{
    const bool first = !event->spontaneous() && !FShown;
    if (first) {
        FShown = true;
        FormShow();
    }
    TfrmQuillonDlg::showEvent(event);
    if (first)
        emSQLStatement->setFocus();
}

void TfrmIPEasySQLStatement::FormShow()
{
    SetCommandState(btnOK, FIsEditable,
        tr("This IQ is a system record: its statement can be read and copied, not changed."));
    // Read-only, yet still selectable and copyable.
    emSQLStatement->setReadOnly(!FIsEditable);
    SetDialogCaption();
}

void TfrmIPEasySQLStatement::SetDialogCaption()
{
    QString caption = tr("IQ SQL Statement");
    if (!FIPEasySQLTitle.isEmpty())
        caption += QStringLiteral(" for %1").arg(FIPEasySQLTitle);
    setWindowTitle(caption);
}

bool TfrmIPEasySQLStatement::PassChecks()
{
    PushCursor();
    const std::string refusal
        = ForbiddenKeywordMessage(emSQLStatement->toPlainText().toStdString());
    PopCursor();
    if (refusal.empty())
        return true;
    emSQLStatement->setFocus();
    InfoMessage(QString::fromStdString(refusal), MsgButtons::OK);
    return false;
}

bool TfrmIPEasySQLStatement::CanClose()
{
    // OK is greyed when read-only; Enter must not confirm past it.
    if (!FIsEditable || !PassChecks())
        return false;
    FIPEasySQLStatement = emSQLStatement->toPlainText();
    return true;
}

bool DoIPEasySQLStatement(QString &Statement, bool IsEditable, const QString &Title)
{
    TfrmIPEasySQLStatement dialog(ActiveHostWindow());
    dialog.SetIPEasySQLStatement(Statement);
    dialog.SetIsEditable(IsEditable);
    dialog.SetIPEasySQLTitle(Title);
    if (ExecModal(dialog) != QDialog::Accepted)
        return false;
    Statement = dialog.IPEasySQLStatement();
    return true;
}
