#include "host/ui/TfrmQuillonDlgBase.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmQuillonDlgBase::TfrmQuillonDlgBase(QWidget *parent)
    : QDialog(parent)
    , HostWindow(this)
{
    SetKeepsPosition(false);
    pnlClient = new QWidget(this);
    pnlClient->setObjectName(QStringLiteral("pnlClient"));
    pnlButtons = new QWidget(this);
    pnlButtons->setObjectName(QStringLiteral("pnlButtons"));
    btnOK = new QPushButton(tr("OK"), pnlButtons);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(tr("Cancel"), pnlButtons);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto *buttons = new QHBoxLayout(pnlButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(pnlClient, 1);
    layout->addWidget(pnlButtons);

    connect(btnOK, &QPushButton::clicked, this, &TfrmQuillonDlgBase::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

TfrmQuillonDlgBase::~TfrmQuillonDlgBase() = default;

void TfrmQuillonDlgBase::btnOKClick()
{
    if (CanClose())
        accept();
}

void TfrmQuillonDlgBase::done(int result)
{
    // Every way out (OK, Cancel, Esc, the close box) passes here once while still visible.
    if (isVisible())
        FormClosing();
    QDialog::done(result);
}

bool TfrmQuillonDlgBase::event(QEvent *event)
{
    if (HandleHostEvent(event))
        return true;
    return QDialog::event(event);
}

void TfrmQuillonDlgBase::showEvent(QShowEvent *event)
{
    // After QDialog has centred the dialog on its owner: a restored position then wins, and a
    // dialog widened for its caption stays centred.
    QDialog::showEvent(event);
    if (!event->spontaneous())
        HandleFirstShow();
}

void TfrmQuillonDlgBase::keyPressEvent(QKeyEvent *event)
{
    if (!HandleHelpKey(event))
        QDialog::keyPressEvent(event);
}
