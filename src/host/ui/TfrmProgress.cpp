#include "host/ui/TfrmProgress.h"

#include "host/core/Progress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

TfrmProgress::TfrmProgress(QWidget *parent)
    : QDialog(
        parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmProgress"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    lblMessage = new QLabel(this);
    lblMessage->setObjectName(QStringLiteral("lblMessage"));
    lblMessage->setWordWrap(true);
    prbProgress = new QProgressBar(this);
    prbProgress->setObjectName(QStringLiteral("prbProgress"));
    prbProgress->setTextVisible(false);
    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    lblCount->setAlignment(Qt::AlignRight);
    btnCancel = new QPushButton(tr("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    btnCancel->hide();

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblCount, 1);
    bottom->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblMessage);
    layout->addWidget(prbProgress);
    layout->addLayout(bottom);
    resize(360, 110);

    connect(btnCancel, &QPushButton::clicked, this, &TfrmProgress::btnCancelClick);
}

void TfrmProgress::ShowState(const ProgressState &state)
{
    setWindowTitle(state.caption);
    lblMessage->setText(state.cancelled ? tr("Cancelling...") : state.message);
    if (state.option2) {
        prbProgress->setRange(0, 0);
    } else {
        prbProgress->setRange(0, state.maximum);
        prbProgress->setValue(state.position);
    }
    lblCount->setVisible(state.option1 && !state.option2);
    lblCount->setText(tr("%1 of %2").arg(state.position).arg(state.maximum));
    btnCancel->setVisible(state.cancellable);
    btnCancel->setEnabled(state.cancellable && !state.cancelled);

    // Modality takes effect when a window is shown: a change shows it again.
    const Qt::WindowModality modality = state.cancellable ? Qt::ApplicationModal : Qt::NonModal;
    if (isVisible() && windowModality() != modality)
        hide();
    if (!isVisible()) {
        setWindowModality(modality);
        setAttribute(Qt::WA_ShowWithoutActivating, !state.cancellable);
        show();
        if (state.cancellable) {
            activateWindow();
            btnCancel->setFocus();
        }
    }
    repaint();
}

void TfrmProgress::reject()
{
    if (btnCancel->isVisible())
        btnCancelClick();
}

void TfrmProgress::btnCancelClick()
{
    CancelProgressDlg();
}
