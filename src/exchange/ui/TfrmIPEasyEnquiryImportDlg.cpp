#include "exchange/ui/TfrmIPEasyEnquiryImportDlg.h"

#include "exchange/EnquiryExchange.h"
#include "exchange/ui/ExchangeFileBox.h"
#include "host/core/Cursor.h"
#include "host/core/HostContext.h"
#include "host/core/Messages.h"
#include "host/ui/CommandState.h"
#include "host/ui/ModalDialogs.h"
#include "run/EnquiryRights.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmIPEasyEnquiryImportDlg::TfrmIPEasyEnquiryImportDlg(QWidget *parent)
    : TfrmQuillonDlg(parent)
{
    setObjectName(QStringLiteral("frmIPEasyEnquiryImportDlg"));
    setWindowTitle(tr("Import IQ"));
    setMinimumSize(370, 187);
    grpImportIQ = new QGroupBox(tr("Import IQ"), ClientPanel());
    grpImportIQ->setObjectName(QStringLiteral("grpImportIQ"));
    lnlFileName = new QLabel(tr("Import File Name"), grpImportIQ);
    lnlFileName->setObjectName(QStringLiteral("lnlFileName"));
    edtFile = new ExchangeFileBox(ExchangeFileBox::Purpose::Open, grpImportIQ);
    lnlFileName->setBuddy(edtFile->Edit());

    auto *grid = new QGridLayout(grpImportIQ);
    grid->addWidget(lnlFileName, 0, 0);
    grid->addWidget(edtFile, 0, 1);
    grid->setColumnStretch(1, 1);
    auto *layout = new QVBoxLayout(ClientPanel());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grpImportIQ);
    layout->addStretch();

    btnOK->setText(tr("Import"));
    QString refusal;
    SetCommandState(btnOK, MayUseFunction(kFunctionEasyEnquiryExchange, refusal), refusal);
    edtFile->Edit()->setFocus();
}

bool TfrmIPEasyEnquiryImportDlg::CanClose()
{
    QString refusal;
    Connection *payroll = ADOMainConnection();
    if (!MayUseFunction(kFunctionEasyEnquiryExchange, refusal) || !payroll) {
        InfoMessage(payroll ? refusal : tr("No payroll database is open."), MsgButtons::OK);
        return false;
    }
    FLastImportedID = 0;
    PushCursor();
    const ImportRun run = RunEnquiryImport(*payroll, edtFile->Text(), false, true);
    PopCursor();
    if (!run.started) {
        edtFile->Edit()->setFocus();
        return false;
    }
    // A failed import was rolled back and said so; the dialog still closes and the list
    // refreshes.
    FLastImportedID = run.outcome.lastImportedId;
    return true;
}

bool DoEasyEnquiryImport(int &EnquiryID)
{
    PushCursor();
    TfrmIPEasyEnquiryImportDlg dialog(ActiveHostWindow());
    PopCursor();
    if (ExecModal(dialog) != QDialog::Accepted)
        return false;
    EnquiryID = dialog.LastImportedID();
    return true;
}
