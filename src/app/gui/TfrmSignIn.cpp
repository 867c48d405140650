#include "app/gui/TfrmSignIn.h"

#include "app/common/DatabaseLocation.h"
#include "app/common/HostSession.h"
#include "app/common/SavedConnections.h"
#include "app/gui/TfrmSavedConnections.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/Connection.h"
#include "host/ui/ModalDialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmSignIn::TfrmSignIn(HostSession &session, const QString &agent, const QString &payroll,
    const QString &common, QWidget *parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName("TfrmSignIn");
    setWindowTitle("Corvane - Sign In");
    m_choices.append({ QStringLiteral("Demo data on this computer"), {}, {}, {}, false });
    if (!payroll.isEmpty() || !common.isEmpty())
        m_choices.append(
            { QStringLiteral("As given on the command line"), {}, payroll, common, false });
    cbxDatabase = new QComboBox(this);
    cbxDatabase->setObjectName("cbxDatabase");
    btnConnections = new QPushButton("&Databases…", this);
    btnConnections->setObjectName("btnConnections");
    lblDatabasePassword = new QLabel("Database pass&word:", this);
    edtDatabasePassword = new QLineEdit(this);
    edtDatabasePassword->setObjectName("edtDatabasePassword");
    edtDatabasePassword->setEchoMode(QLineEdit::Password);
    lblDatabasePassword->setBuddy(edtDatabasePassword);
    cbxAgent = new QComboBox(this);
    cbxAgent->setObjectName("cbxAgent");
    cbxAgent->setEditable(true);
    edtPassword = new QLineEdit(this);
    edtPassword->setObjectName("edtPassword");
    edtPassword->setEchoMode(QLineEdit::Password);
    lblError = new QLabel(this);
    lblError->setObjectName("lblError");
    lblError->setStyleSheet("color: #b00020");
    lblError->setWordWrap(true);

    auto *database = new QHBoxLayout;
    database->addWidget(cbxDatabase, 1);
    database->addWidget(btnConnections);
    auto *form = new QFormLayout;
    auto *lblDatabase = new QLabel("Data&base:", this);
    lblDatabase->setBuddy(cbxDatabase);
    form->addRow(lblDatabase, database);
    form->addRow(lblDatabasePassword, edtDatabasePassword);
    form->addRow("&Agent:", cbxAgent);
    form->addRow("&Password:", edtPassword);
    auto *buttons = new QDialogButtonBox(this);
    btnOK = buttons->addButton("Sign In", QDialogButtonBox::AcceptRole);
    btnOK->setObjectName("btnOK");
    btnOK->setDefault(true);
    btnCancel = buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    btnCancel->setObjectName("btnCancel");
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel("<b>Corvane Payroll</b><br>Sign in to continue.", this);
    layout->addWidget(title);
    layout->addLayout(form);
    layout->addWidget(lblError);
    layout->addWidget(buttons);
    connect(btnOK, &QPushButton::clicked, this, &TfrmSignIn::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnConnections, &QPushButton::clicked, this, &TfrmSignIn::btnConnectionsClick);

    // The command line's pair wins over the last choice: it was asked for this time.
    fillChoices(SavedConnections::LastChoice());
    if (!payroll.isEmpty() || !common.isEmpty())
        cbxDatabase->setCurrentIndex(1);
    connect(cbxDatabase, &QComboBox::currentIndexChanged, this, &TfrmSignIn::cbxDatabaseChange);
    cbxDatabaseChange();
    if (!agent.isEmpty())
        cbxAgent->setCurrentText(agent);
    (edtDatabasePassword->isVisibleTo(this) ? edtDatabasePassword : edtPassword)->setFocus();
    resize(420, sizeHint().height());
}

void TfrmSignIn::fillChoices(const QString &select)
{
    while (!m_choices.isEmpty() && !m_choices.last().savedName.isEmpty())
        m_choices.removeLast();
    for (const SavedConnection &saved : SavedConnections::Load())
        m_choices.append(
            { saved.name, saved.name, saved.payroll, saved.common, saved.askPassword });
    const QSignalBlocker block(cbxDatabase);
    cbxDatabase->clear();
    int selected = 0;
    for (int i = 0; i < m_choices.size(); ++i) {
        cbxDatabase->addItem(m_choices[i].label);
        if (!select.isEmpty() && m_choices[i].savedName == select)
            selected = i;
    }
    cbxDatabase->setCurrentIndex(selected);
}

bool TfrmSignIn::sessionHasChoice() const
{
    const Choice &choice = m_choices[cbxDatabase->currentIndex()];
    const bool demo = choice.payroll.isEmpty() && choice.common.isEmpty();
    return m_session.Payroll()
        && WithoutPassword(m_session.PayrollPath())
        == (demo ? DefaultPayrollPath() : WithoutPassword(choice.payroll))
        && WithoutPassword(m_session.CommonPath())
        == (demo ? DefaultCommonPath() : WithoutPassword(choice.common));
}

bool TfrmSignIn::openChoice()
{
    if (sessionHasChoice())
        return true;
    const Choice &choice = m_choices[cbxDatabase->currentIndex()];
    const QString password = edtDatabasePassword->text();
    const auto name = [&](const QString &given) {
        return choice.askPassword ? WithPassword(given, password) : given;
    };
    QString error;
    // Only the demo's own files are made when missing: both names empty.
    const bool opened = m_session.Open(name(choice.payroll), name(choice.common), true, error);
    fillAgents(opened);
    if (!opened) {
        // A reason that repeats the connection string must not show the password typed.
        if (choice.askPassword && !password.isEmpty()) {
            error.replace(name(choice.payroll), choice.payroll);
            error.replace(name(choice.common), choice.common);
        }
        lblError->setText(error);
        return false;
    }
    lblError->clear();
    return true;
}

void TfrmSignIn::fillAgents(bool fromSession)
{
    const QString typed = cbxAgent->currentText();
    cbxAgent->clear();
    if (fromSession && m_session.Payroll()) {
        // Offer the active agents by name; the password is what proves who signs in.
        TQuillonADOQuery agents;
        agents.SetConnection(m_session.Payroll());
        agents.SetSQL(
            "select cAgentName from dbo._rtblAgents where bActive <> 0 order by cAgentName");
        if (agents.Open())
            for (agents.First(); !agents.Eof(); agents.Next())
                cbxAgent->addItem(agents.FieldByName("cAgentName").AsString());
    }
    cbxAgent->setCurrentText(typed);
}

void TfrmSignIn::cbxDatabaseChange()
{
    const bool askPassword = m_choices[cbxDatabase->currentIndex()].askPassword;
    lblDatabasePassword->setVisible(askPassword);
    edtDatabasePassword->setVisible(askPassword);
    edtDatabasePassword->clear();
    lblError->clear();
    // A server that wants its password is opened once the person has typed it, at Sign In.
    if (askPassword && !sessionHasChoice()) {
        fillAgents(false);
        edtDatabasePassword->setFocus();
        return;
    }
    openChoice();
}

void TfrmSignIn::btnConnectionsClick()
{
    TfrmSavedConnections dialog(this);
    if (ExecModal(dialog) != QDialog::Accepted)
        return;
    const Choice current = m_choices[cbxDatabase->currentIndex()];
    fillChoices(current.savedName);
    cbxDatabaseChange();
}

void TfrmSignIn::btnOKClick()
{
    if (!openChoice()) {
        (edtDatabasePassword->isVisible() ? edtDatabasePassword : edtPassword)->setFocus();
        return;
    }
    QString error;
    if (m_session.SignIn(cbxAgent->currentText().trimmed(), edtPassword->text(), error)) {
        SavedConnections::SetLastChoice(m_choices[cbxDatabase->currentIndex()].savedName);
        accept();
        return;
    }
    lblError->setText(error);
    edtPassword->selectAll();
    edtPassword->setFocus();
}
