#pragma once

#include "host/ui/TfrmQuillonDlg.h"

#include <QString>

class QGroupBox;
class QPlainTextEdit;
class QShowEvent;

// The statement of an IQ, to write or (for a system record) only to read. OK takes the text back
// when it holds none of the forbidden keywords as a whole word; the rest is learned later, when
// the editor compiles the statement for its columns.
class TfrmIPEasySQLStatement final : public TfrmQuillonDlg
{
    Q_OBJECT
public:
    explicit TfrmIPEasySQLStatement(QWidget *parent);

    void SetIPEasySQLStatement(const QString &value);
    const QString &IPEasySQLStatement() const { return FIPEasySQLStatement; }
    void SetIsEditable(bool value) { FIsEditable = value; }
    void SetIPEasySQLTitle(const QString &value) { FIPEasySQLTitle = value; }

    int GetCurrentHelpContext() const override { return 180010; }

protected:
    bool CanClose() override;
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void SetDialogCaption();
    bool PassChecks();

    QGroupBox *grpSQLStatement;
    QPlainTextEdit *emSQLStatement;
    QString FIPEasySQLStatement;
    bool FIsEditable = true;
    QString FIPEasySQLTitle;
    bool FShown = false;
};

// True when confirmed with OK; `Statement` then holds the text exactly as typed.
bool DoIPEasySQLStatement(QString &Statement, bool IsEditable, const QString &Title);
