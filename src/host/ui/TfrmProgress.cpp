#include "host/ui/TfrmProgress.h"

#include "host/core/Progress.h"

#include <QLabel>
#include <QProgressBar>
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

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblMessage);
    layout->addWidget(prbProgress);
    layout->addWidget(lblCount);
    resize(360, 110);
}

void TfrmProgress::ShowState(const ProgressState &state)
{
    setWindowTitle(state.caption);
    lblMessage->setText(state.message);
    if (state.option2) {
        prbProgress->setRange(0, 0);
    } else {
        prbProgress->setRange(0, state.maximum);
        prbProgress->setValue(state.position);
    }
    lblCount->setVisible(state.option1 && !state.option2);
    lblCount->setText(tr("%1 of %2").arg(state.position).arg(state.maximum));
    if (!isVisible())
        show();
    repaint();
}
