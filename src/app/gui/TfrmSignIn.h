#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class HostSession;

// Asks for the agent and password; stays open with the reason until the sign-in succeeds.
class TfrmSignIn final : public QDialog
{
    Q_OBJECT
public:
    TfrmSignIn(HostSession &session, const QString &agent, QWidget *parent = nullptr);

private:
    void btnOKClick();

    HostSession &m_session;
    QComboBox *cbxAgent;
    QLineEdit *edtPassword;
    QLabel *lblError;
    QPushButton *btnOK;
    QPushButton *btnCancel;
};
