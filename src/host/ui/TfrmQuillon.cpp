#include "host/ui/TfrmQuillon.h"

#include <QCloseEvent>
#include <QKeyEvent>

TfrmQuillon::TfrmQuillon(QWidget *parent)
    : QWidget(parent, Qt::Window)
    , HostWindow(this)
{
}

TfrmQuillon::~TfrmQuillon() = default;

bool TfrmQuillon::event(QEvent *event)
{
    if (HandleHostEvent(event))
        return true;
    return QWidget::event(event);
}

void TfrmQuillon::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        HandleFirstShow();
    QWidget::showEvent(event);
}

void TfrmQuillon::closeEvent(QCloseEvent *event)
{
    FormClosing();
    QWidget::closeEvent(event);
}

void TfrmQuillon::keyPressEvent(QKeyEvent *event)
{
    if (!HandleHelpKey(event))
        QWidget::keyPressEvent(event);
}
