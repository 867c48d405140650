#include "app/gui/TfrmSavedConnections.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TfrmSavedConnections::TfrmSavedConnections(QWidget *parent)
    : QDialog(parent)
    , m_connections(SavedConnections::Load())
{
    setObjectName("TfrmSavedConnections");
    setWindowTitle("Corvane - Databases");
    lstConnections = new QListWidget(this);
    lstConnections->setObjectName("lstConnections");
    for (const SavedConnection &connection : m_connections)
        lstConnections->addItem(connection.name);
    const auto lineEdit = [this](const char *name, const QString &placeholder) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setPlaceholderText(placeholder);
        connect(edit, &QLineEdit::textEdited, this, &TfrmSavedConnections::editChanged);
        return edit;
    };
    edtName = lineEdit("edtName", "Head office");
    edtPayroll = lineEdit("edtPayroll", "odbc:DSN=payroll, or a database file");
    edtCommon = lineEdit("edtCommon", "odbc:DSN=common, or a database file");
    chkAskPassword = new QCheckBox("Ask for the database password at sign-in", this);
    chkAskPassword->setObjectName("chkAskPassword");
    connect(chkAskPassword, &QCheckBox::toggled, this, &TfrmSavedConnections::editChanged);
    auto *note = new QLabel("A password typed into a connection string is not saved: it is asked "
                            "for at each sign-in instead.",
        this);
    note->setWordWrap(true);
    lblError = new QLabel(this);
    lblError->setObjectName("lblError");
    lblError->setStyleSheet("color: #b00020");
    lblError->setWordWrap(true);

    btnAdd = new QPushButton("&Add", this);
    btnAdd->setObjectName("btnAdd");
    btnRemove = new QPushButton("&Remove", this);
    btnRemove->setObjectName("btnRemove");
    auto *listButtons = new QHBoxLayout;
    listButtons->addWidget(btnAdd);
    listButtons->addWidget(btnRemove);
    listButtons->addStretch();
    auto *form = new QFormLayout;
    form->addRow("&Name:", edtName);
    form->addRow("&Payroll database:", edtPayroll);
    form->addRow("&Common database:", edtCommon);
    form->addRow(QString(), chkAskPassword);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    btnOK = buttons->button(QDialogButtonBox::Ok);
    btnOK->setObjectName("btnOK");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("btnCancel");

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lstConnections);
    layout->addLayout(listButtons);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(lblError);
    layout->addWidget(buttons);
    connect(lstConnections, &QListWidget::currentRowChanged, this,
        &TfrmSavedConnections::lstConnectionsChange);
    connect(btnAdd, &QPushButton::clicked, this, &TfrmSavedConnections::btnAddClick);
    connect(btnRemove, &QPushButton::clicked, this, &TfrmSavedConnections::btnRemoveClick);
    connect(btnOK, &QPushButton::clicked, this, &TfrmSavedConnections::btnOKClick);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    lstConnections->setCurrentRow(m_connections.isEmpty() ? -1 : 0);
    lstConnectionsChange();
    resize(520, sizeHint().height());
}

void TfrmSavedConnections::lstConnectionsChange()
{
    const int row = lstConnections->currentRow();
    const bool have = row >= 0 && row < m_connections.size();
    const SavedConnection shown = have ? m_connections[row] : SavedConnection {};
    // Filling the fields must not count as editing them.
    const QSignalBlocker block(chkAskPassword);
    edtName->setText(shown.name);
    edtPayroll->setText(shown.payroll);
    edtCommon->setText(shown.common);
    chkAskPassword->setChecked(shown.askPassword);
    for (QWidget *edit : { static_cast<QWidget *>(edtName), static_cast<QWidget *>(edtPayroll),
             static_cast<QWidget *>(edtCommon), static_cast<QWidget *>(chkAskPassword),
             static_cast<QWidget *>(btnRemove) })
        edit->setEnabled(have);
}

void TfrmSavedConnections::editChanged()
{
    const int row = lstConnections->currentRow();
    if (row < 0 || row >= m_connections.size())
        return;
    SavedConnection &connection = m_connections[row];
    connection.name = edtName->text();
    connection.payroll = edtPayroll->text().trimmed();
    connection.common = edtCommon->text().trimmed();
    connection.askPassword = chkAskPassword->isChecked();
    lstConnections->item(row)->setText(connection.name);
    lblError->clear();
}

void TfrmSavedConnections::btnAddClick()
{
    m_connections.append({ QStringLiteral("New database"), {}, {}, false });
    lstConnections->addItem(m_connections.last().name);
    lstConnections->setCurrentRow(int(m_connections.size()) - 1);
    edtName->selectAll();
    edtName->setFocus();
}

void TfrmSavedConnections::btnRemoveClick()
{
    const int row = lstConnections->currentRow();
    if (row < 0 || row >= m_connections.size())
        return;
    m_connections.removeAt(row);
    delete lstConnections->takeItem(row);
    lstConnectionsChange();
}

QString TfrmSavedConnections::problem() const
{
    QStringList names;
    for (const SavedConnection &connection : m_connections) {
        const QString name = connection.name.trimmed();
        if (name.isEmpty())
            return QStringLiteral("Every database needs a name.");
        if (names.contains(name, Qt::CaseInsensitive))
            return QStringLiteral("Two databases are called \"%1\"; give each its own name.")
                .arg(name);
        if (connection.payroll.isEmpty() || connection.common.isEmpty())
            return QStringLiteral("\"%1\" needs both its payroll and its common database.")
                .arg(name);
        names.append(name);
    }
    return {};
}

void TfrmSavedConnections::btnOKClick()
{
    QString error = problem();
    if (error.isEmpty() && SavedConnections::Save(m_connections, error)) {
        m_connections = SavedConnections::Load();
        accept();
        return;
    }
    lblError->setText(error);
}
