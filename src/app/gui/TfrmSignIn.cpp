#include "app/gui/TfrmSignIn.h"

#include "app/common/HostSession.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/Connection.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmSignIn::TfrmSignIn(HostSession &session, const QString &agent, QWidget *parent)
    : QDialog(parent)
    , m_session(session)
{
    setObjectName("TfrmSignIn");
    setWindowTitle("Corvane - Sign In");
    cbxAgent = new QComboBox(this);
    cbxAgent->setObjectName("cbxAgent");
    cbxAgent->setEditable(true);
    // Offer the active agents by name; the password is what proves who signs in.
    TQuillonADOQuery agents;
    agents.SetConnection(session.Payroll());
    agents.SetSQL("select cAgentName from _rtblAgents where bActive <> 0 order by cAgentName");
    if (agents.Open())
        for (agents.First(); !agents.Eof(); agents.Next())
            cbxAgent->addItem(agents.FieldByName("cAgentName").AsString());
    if (!agent.isEmpty())
        cbxAgent->setCurrentText(agent);
    edtPassword = new QLineEdit(this);
    edtPassword->setObjectName("edtPassword");
    edtPassword->setEchoMode(QLineEdit::Password);
    lblError = new QLabel(this);
    lblError->setObjectName("lblError");
    lblError->setStyleSheet("color: #b00020");
    lblError->setWordWrap(true);

    auto *form = new QFormLayout;
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
    edtPassword->setFocus();
    resize(360, sizeHint().height());
}

void TfrmSignIn::btnOKClick()
{
    QString error;
    if (m_session.SignIn(cbxAgent->currentText().trimmed(), edtPassword->text(), error)) {
        accept();
        return;
    }
    lblError->setText(error);
    edtPassword->selectAll();
    edtPassword->setFocus();
}
