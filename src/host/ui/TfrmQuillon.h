#pragma once

#include "host/ui/HostWindow.h"

#include <QWidget>

// Base of the host's top-level windows. Derived windows that save their own values at close
// should do so before calling TfrmQuillon::closeEvent, which may erase the section.
class TfrmQuillon : public QWidget, public HostWindow
{
    Q_OBJECT
public:
    explicit TfrmQuillon(QWidget *parent = nullptr);
    ~TfrmQuillon() override;

protected:
    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
