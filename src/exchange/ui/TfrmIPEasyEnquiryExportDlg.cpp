#include "exchange/ui/TfrmIPEasyEnquiryExportDlg.h"

#include "exchange/EnquiryExchange.h"
#include "exchange/ui/ExchangeFileBox.h"
#include "host/core/Cursor.h"
#include "host/core/HostContext.h"
#include "host/core/Messages.h"
#include "host/ui/CommandState.h"
#include "host/ui/ModalDialogs.h"
#include "run/EnquiryRights.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmIPEasyEnquiryExportDlg::TfrmIPEasyEnquiryExportDlg(QWidget *parent)
    : TfrmQuillonDlg(parent)
{
    setObjectName(QStringLiteral("frmIPEasyEnquiryExportDlg"));
    setWindowTitle(tr("Export IQ"));
    setMinimumSize(370, 184);
    grpExportIQ = new QGroupBox(tr("Export IQ"), ClientPanel());
    grpExportIQ->setObjectName(QStringLiteral("grpExportIQ"));
    lnlFileName = new QLabel(tr("Export File Name"), grpExportIQ);
    lnlFileName->setObjectName(QStringLiteral("lnlFileName"));
    edtFile = new ExchangeFileBox(ExchangeFileBox::Purpose::Save, grpExportIQ);
    lnlFileName->setBuddy(edtFile->Edit());
    lblExportOption = new QLabel(tr("Export Option"), grpExportIQ);
    lblExportOption->setObjectName(QStringLiteral("lblExportOption"));
    radAll = new QRadioButton(tr("All Records"), grpExportIQ);
    radAll->setObjectName(QStringLiteral("radAll"));
    radSelected = new QRadioButton(tr("Selected Record"), grpExportIQ);
    radSelected->setObjectName(QStringLiteral("radSelected"));
    radSelected->setChecked(true);

    auto *options = new QHBoxLayout;
    options->addWidget(radSelected);
    options->addWidget(radAll);
    options->addStretch();
    auto *grid = new QGridLayout(grpExportIQ);
    grid->addWidget(lnlFileName, 0, 0);
    grid->addWidget(edtFile, 0, 1);
    grid->addWidget(lblExportOption, 1, 0);
    grid->addLayout(options, 1, 1);
    grid->setColumnStretch(1, 1);
    auto *layout = new QVBoxLayout(ClientPanel());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grpExportIQ);
    layout->addStretch();

    btnOK->setText(tr("Export"));
    QString refusal;
    SetCommandState(btnOK, MayUseFunction(kFunctionEasyEnquiryExchange, refusal), refusal);
    edtFile->Edit()->setFocus();
}

bool TfrmIPEasyEnquiryExportDlg::CanClose()
{
    return CheckFileName() && ExportEasyEnquiry();
}

bool TfrmIPEasyEnquiryExportDlg::CheckFileName()
{
    const QString typed = edtFile->Text();
    bool passed = true;
    if (typed.trimmed().isEmpty()) {
        InfoMessage(tr("Please select or type a File name to export!"), MsgButtons::OK);
        passed = false;
    } else if (QFileInfo::exists(typed.trimmed())) {
        // The file the export would replace is the one asked about, blanks around it or not.
        passed = ConfMessage(
            QStringLiteral("File \"%1\" exists. Do you want to overwrite it?").arg(typed),
            MsgButtons::YesNo);
    }
    if (!passed)
        edtFile->Edit()->setFocus();
    return passed;
}

bool TfrmIPEasyEnquiryExportDlg::ExportEasyEnquiry()
{
    QString refusal;
    Connection *payroll = ADOMainConnection();
    if (!MayUseFunction(kFunctionEasyEnquiryExchange, refusal) || !payroll) {
        InfoMessage(payroll ? refusal : tr("No payroll database is open."), MsgButtons::OK);
        return false;
    }
    PushCursor();
    QString error;
    const bool written = WriteEnquiryFile(*payroll, radAll->isChecked(), { FEnquiryID },
        edtFile->Text().trimmed(), HostDatabaseFiles(), error);
    PopCursor();
    if (!written) {
        ErrMessage(error, MsgButtons::OK);
        edtFile->Edit()->setFocus();
    }
    return written;
}

bool DoEasyEnquiryExport(int EnquiryID)
{
    PushCursor();
    TfrmIPEasyEnquiryExportDlg dialog(ActiveHostWindow());
    dialog.SetEnquiryID(EnquiryID);
    PopCursor();
    return ExecModal(dialog) == QDialog::Accepted;
}
