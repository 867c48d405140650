#pragma once

#include <QDialog>
#include <QList>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class HostSession;

// Asks for the database, the agent and the password; stays open with the reason until the
// sign-in succeeds. The database is the local demo, the pair given on the command line, or a
// saved connection (kept by TfrmSavedConnections); a server's password, when its connection
// does not keep one, is asked for here and never stored.
class TfrmSignIn final : public QDialog
{
    Q_OBJECT
public:
    // `payroll` and `common` are the command line's databases (empty: none given).
    TfrmSignIn(HostSession &session, const QString &agent, const QString &payroll = {},
        const QString &common = {}, QWidget *parent = nullptr);

private:
    struct Choice
    {
        QString label;
        QString savedName; // empty for the demo and the command line's pair
        QString payroll; // empty for the demo
        QString common;
        bool askPassword = false;
    };

    void fillChoices(const QString &select);
    void cbxDatabaseChange();
    void btnConnectionsClick();
    void btnOKClick();
    // Opens the chosen database unless the session already has it; false with the reason shown.
    bool openChoice();
    bool sessionHasChoice() const;
    // The open database's active agents, or none; what was typed stays.
    void fillAgents(bool fromSession);

    HostSession &m_session;
    QList<Choice> m_choices;
    QComboBox *cbxDatabase;
    QPushButton *btnConnections;
    QLabel *lblDatabasePassword;
    QLineEdit *edtDatabasePassword;
    QComboBox *cbxAgent;
    QLineEdit *edtPassword;
    QLabel *lblError;
    QPushButton *btnOK;
    QPushButton *btnCancel;
};
