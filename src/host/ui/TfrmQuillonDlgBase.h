#pragma once

#include "host/ui/HostWindow.h"

#include <QDialog>

class QPushButton;

// Base of the host's dialogs: the content goes into ClientPanel(); the bottom panel pnlButtons
// holds btnOK (the default button) and btnCancel. OK closes only when CanClose() agrees, so a
// refused validation keeps the dialog open.
class TfrmQuillonDlgBase : public QDialog, public HostWindow
{
    Q_OBJECT
public:
    explicit TfrmQuillonDlgBase(QWidget *parent = nullptr);
    ~TfrmQuillonDlgBase() override;

    QWidget *ClientPanel() const { return pnlClient; }
    void done(int result) override;

protected:
    // Asked before OK closes the dialog; show the reason (InfoMessage) and return false to stay.
    virtual bool CanClose() { return true; }
    virtual void btnOKClick();

    bool event(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

    QWidget *pnlClient;
    QWidget *pnlButtons;
    QPushButton *btnOK;
    QPushButton *btnCancel;
};
