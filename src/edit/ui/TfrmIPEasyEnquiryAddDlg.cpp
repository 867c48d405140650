#include "edit/ui/TfrmIPEasyEnquiryAddDlg.h"

#include "edit/ui/ColumnDetailsGroup.h"
#include "edit/ui/LookupCombo.h"
#include "edit/ui/TfrmIPEasySQLStatement.h"
#include "host/core/Agent.h"
#include "host/core/Cursor.h"
#include "host/core/HostContext.h"
#include "host/core/Messages.h"
#include "host/core/Notes.h"
#include "host/core/TypeTables.h"
#include "host/db/dataset/TQuillonTempTable.h"
#include "host/ui/CommandState.h"
#include "host/ui/ModalDialogs.h"
#include "host/ui/TfrmNotes.h"
#include "host/ui/TmxGrid.h"
#include "run/EnquiryWindows.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString kCommonDatabase = QStringLiteral("Common Database");
const QString kPayrollDatabase = QStringLiteral("Payroll Database");
const QString kEnquiryTable = QStringLiteral("_iptblEasyEnquiry");
const QString kParamDesc = QStringLiteral("cParamDesc");
const QString kValue = QStringLiteral("cValue");
const QString kType = QStringLiteral("cType");
const QString kDateValue = QStringLiteral("dtValue");

bool IsAdministrator()
{
    return CurrentAgent() && CurrentAgent()->IsAdministrator();
}

// Enter in a field goes to the next one, as in the host's other dialogs; only the last field's
// Enter presses OK.
class EnterMovesOn final : public QObject
{
public:
    EnterMovesOn(QObject *parent, QWidget *last)
        : QObject(parent)
        , m_last(last)
    {
    }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        auto *field = qobject_cast<QWidget *>(watched);
        auto *combo = qobject_cast<QComboBox *>(watched);
        if ((key != Qt::Key_Return && key != Qt::Key_Enter) || !field || field == m_last
            || (combo && combo->view()->isVisible()))
            return false;
        QWidget *next = field->nextInFocusChain();
        while (next != field
            && !(next->isEnabled() && next->isVisible() && (next->focusPolicy() & Qt::TabFocus)))
            next = next->nextInFocusChain();
        next->setFocus(Qt::TabFocusReason);
        return true;
    }

private:
    QWidget *m_last;
};

} // namespace

TfrmIPEasyEnquiryAddDlg::TfrmIPEasyEnquiryAddDlg(QWidget *parent)
    : TfrmQuillonDlg(parent)
{
    setObjectName(QStringLiteral("frmIPEasyEnquiryAddDlg"));
    resize(560, 600);

    grpEnquiry = new QGroupBox(tr("Enquiry"), ClientPanel());
    grpEnquiry->setObjectName(QStringLiteral("grpEnquiry"));
    edtCode = new QLineEdit(grpEnquiry);
    edtCode->setObjectName(QStringLiteral("edtCode"));
    edtCode->setMaxLength(10);
    btnNote = new QToolButton(grpEnquiry);
    btnNote->setObjectName(QStringLiteral("btnNote"));
    btnNote->setText(tr("Notes"));
    btnNote->setEnabled(false);
    edtDescription = new QLineEdit(grpEnquiry);
    edtDescription->setObjectName(QStringLiteral("edtDescription"));
    edtDescription->setMaxLength(100);
    cbxPayerGroups = new LookupCombo(grpEnquiry, { tr("Code"), tr("Name") }, true);
    cbxPayerGroups->setObjectName(QStringLiteral("cbxPayerGroups"));
    cbxPayFrequency = new LookupCombo(grpEnquiry, { tr("Code"), tr("Description") }, true);
    cbxPayFrequency->setObjectName(QStringLiteral("cbxPayFrequency"));
    cbxDatabase = new QComboBox(grpEnquiry);
    cbxDatabase->setObjectName(QStringLiteral("cbxDatabase"));
    cbxType = new LookupCombo(grpEnquiry, { tr("Type") }, false);
    cbxType->setObjectName(QStringLiteral("cbxType"));
    // A typed name that is not in the list becomes a new type when the IQ is saved.
    cbxType->setEditable(true);
    cbxType->setInsertPolicy(QComboBox::NoInsert);
    cbxType->lineEdit()->setMaxLength(50); // the stored type name's length

    auto *fields = new QGridLayout(grpEnquiry);
    const auto addRow = [&](int row, const QString &caption, QWidget *field) {
        auto *label = new QLabel(caption, grpEnquiry);
        label->setBuddy(field);
        fields->addWidget(label, row, 0);
        fields->addWidget(field, row, 1, 1, row == 0 ? 1 : 2);
        return label;
    };
    lblCode = addRow(0, tr("&Code"), edtCode);
    fields->addWidget(btnNote, 0, 2, Qt::AlignLeft);
    addRow(1, tr("&Description"), edtDescription);
    addRow(2, tr("Pa&yroll Company"), cbxPayerGroups);
    addRow(3, tr("Pay &Frequency"), cbxPayFrequency);
    addRow(4, tr("D&atabase"), cbxDatabase);
    addRow(5, tr("&Type"), cbxType);
    fields->setColumnStretch(1, 1);
    auto *enter = new EnterMovesOn(this, cbxType);
    for (QWidget *field : std::initializer_list<QWidget *> {
             edtCode, edtDescription, cbxPayerGroups, cbxPayFrequency, cbxDatabase, cbxType })
        field->installEventFilter(enter);

    grpColumn = new ColumnDetailsGroup(ClientPanel(), FEditor.Columns());

    btnSQLStatement = new QPushButton(tr("SQL Statement"), pnlButtons);
    btnSQLStatement->setObjectName(QStringLiteral("btnSQLStatement"));
    btnSQLStatement->setAutoDefault(false);
    btnParameter = new QPushButton(tr("Parameters"), pnlButtons);
    btnParameter->setObjectName(QStringLiteral("btnParameter"));
    btnParameter->setAutoDefault(false);
    auto *buttons = static_cast<QHBoxLayout *>(pnlButtons->layout());
    buttons->insertWidget(0, btnSQLStatement);
    buttons->insertWidget(1, btnParameter);

    auto *client = new QVBoxLayout(ClientPanel());
    client->setContentsMargins(0, 0, 0, 0);
    client->addWidget(grpEnquiry);
    client->addWidget(grpColumn, 1);
    setTabOrder(cbxType, grpColumn->Grid());

    connect(btnNote, &QToolButton::clicked, this, &TfrmIPEasyEnquiryAddDlg::btnNoteClick);
    connect(btnSQLStatement, &QPushButton::clicked, this,
        &TfrmIPEasyEnquiryAddDlg::btnSQLStatementClick);
    connect(btnParameter, &QPushButton::clicked, this, &TfrmIPEasyEnquiryAddDlg::btnParameterClick);
}

TfrmIPEasyEnquiryAddDlg::~TfrmIPEasyEnquiryAddDlg() = default;

void TfrmIPEasyEnquiryAddDlg::SetIsEditable(bool value)
{
    FIsEditable = value;
    grpEnquiry->setEnabled(value);
    for (QWidget *field : grpEnquiry->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (field != btnNote && field != cbxPayFrequency)
            field->setEnabled(value);
    }
}

bool TfrmIPEasyEnquiryAddDlg::FormShow(QString &error)
{
    cbxDatabase->clear();
    cbxDatabase->addItems({ kCommonDatabase, kPayrollDatabase });
    Connection *payroll = PayrollConnection();
    if (!payroll) {
        error = tr("No payroll database is open.");
        return false;
    }
    if (!cbxPayerGroups->Fill(*payroll,
            "SELECT idPayer, cCode, cPayerName FROM _iptblPayerGroups ORDER BY cCode", error)
        || !cbxPayFrequency->Fill(*payroll,
            "SELECT idPayFrequency, cCode, cDescription FROM _iptblPayFrequencies ORDER BY cCode",
            error)
        || !cbxType->Fill(
            *payroll, "SELECT idIQType, cIQType FROM _iptblIQTypes ORDER BY cIQType", error))
        return false;
    // Opening compiles the stored statement for its columns and applies their settings.
    PushCursor();
    const bool opened = FEditor.Open(FEnquiryID, FDoCopyRecord, FIsEditable, error);
    PopCursor();
    if (!opened)
        return false;
    SetEditFields();
    SetDialogCaption();
    if (FEditor.EnquiryID() != 0) {
        // The code of an existing IQ never changes.
        lblCode->setEnabled(false);
        edtCode->setEnabled(false);
        QFont bold = edtCode->font();
        bold.setBold(true);
        edtCode->setFont(bold);
    }
    SetNoteSpeedBitmap();
    grpColumn->Reload();
    SetButtonState();
    if (edtCode->isEnabled())
        edtCode->setFocus();
    else if (edtDescription->isEnabled())
        edtDescription->setFocus();
    else
        grpColumn->Grid()->View()->setFocus();
    return true;
}

void TfrmIPEasyEnquiryAddDlg::SetEditFields()
{
    const EnquiryFields &fields = FEditor.Fields();
    edtCode->setText(fields.code);
    edtDescription->setText(fields.description);
    cbxPayerGroups->SelectKey(fields.payrollCompanyId);
    cbxPayFrequency->SelectKey(fields.payFrequencyId);
    cbxDatabase->setCurrentText(fields.commonDb ? kCommonDatabase : kPayrollDatabase);
    cbxType->SelectKey(fields.iqTypeId);
}

void TfrmIPEasyEnquiryAddDlg::GetEditFields()
{
    EnquiryFields &fields = FEditor.Fields();
    fields.code = edtCode->text();
    fields.description = edtDescription->text();
    fields.payrollCompanyId = cbxPayerGroups->Key();
    fields.payFrequencyId = cbxPayFrequency->Key();
    fields.commonDb = cbxDatabase->currentText() == kCommonDatabase;
    fields.iqTypeId = cbxType->Key();
    fields.newIQType = fields.iqTypeId ? QString() : cbxType->currentText().trimmed();
}

QString TfrmIPEasyEnquiryAddDlg::Title() const
{
    if (FEditor.EnquiryID() <= 0)
        return {};
    return QStringLiteral("\"%1 - %2\"").arg(FEditor.StoredCode(), FEditor.StoredDescription());
}

void TfrmIPEasyEnquiryAddDlg::SetDialogCaption()
{
    if (FEditor.EnquiryID() != 0)
        setWindowTitle(QStringLiteral("Edit Enquiry \"%1 - %2\"")
                           .arg(FEditor.StoredCode(), FEditor.StoredDescription()));
    else if (FEditor.Mode() == EditorMode::Copy)
        setWindowTitle(QStringLiteral("Copy Enquiry \"%1 - %2\"")
                           .arg(FEditor.StoredCode(), FEditor.StoredDescription()));
    else
        setWindowTitle(tr("Add New Enquiry"));
}

void TfrmIPEasyEnquiryAddDlg::SetNoteSpeedBitmap()
{
    const int id = FEditor.EnquiryID();
    const bool exists = id > 0 && NoteExists(kEnquiryTable, id);
    QFont font = btnNote->font();
    font.setBold(exists);
    btnNote->setFont(font);
    SetCommandState(btnNote, id > 0 && FIsEditable,
        id > 0 ? tr("A system record's notes are kept from the list.")
               : tr("Notes belong to a saved IQ: save it first."));
    if (id > 0)
        btnNote->setToolTip(exists ? tr("This IQ has notes.") : tr("This IQ has no notes yet."));
}

void TfrmIPEasyEnquiryAddDlg::btnNoteClick()
{
    DoNotesForm(kEnquiryTable, FEditor.EnquiryID(), true, QString());
    SetNoteSpeedBitmap();
}

void TfrmIPEasyEnquiryAddDlg::SetButtonState()
{
    const bool administrator = IsAdministrator();
    SetCommandState(btnSQLStatement, administrator,
        tr("Only an administrator may write or read an IQ's SQL statement."));
    const QString &statement = FEditor.SQLStatement();
    QString reason;
    if (!FEditor.Error().isEmpty())
        reason = tr("The SQL statement has errors: correct it first.");
    else if (statement.isEmpty())
        reason = tr("There is no SQL statement yet.");
    QString parameterReason = reason;
    if (reason.isEmpty() && !statement.contains(QLatin1Char('@')))
        parameterReason = tr("The SQL statement has no parameters.");
    else if (reason.isEmpty() && !administrator)
        parameterReason = tr("Only an administrator may define parameters.");
    SetCommandState(btnParameter, parameterReason.isEmpty(), parameterReason);
    if (reason.isEmpty() && FEditor.Columns().empty())
        reason = tr("The SQL statement has no columns.");
    grpColumn->SetButtonsEnabled(reason.isEmpty(), reason);
}

void TfrmIPEasyEnquiryAddDlg::btnSQLStatementClick()
{
    QString statement = FEditor.SQLStatement();
    if (!DoIPEasySQLStatement(statement, FEditor.IsEditable(), Title()))
        return;
    if (statement == FEditor.SQLStatement()) {
        if (!FEditor.Error().isEmpty())
            ErrMessage(FEditor.Error(), MsgButtons::OK);
        return;
    }
    GetEditFields(); // the database chosen decides where the statement is compiled
    PushCursor();
    FEditor.ChangeStatement(statement);
    PopCursor();
    grpColumn->Reload();
    if (!FEditor.Error().isEmpty())
        ErrMessage(FEditor.Error(), MsgButtons::OK);
    SetButtonState();
}

void TfrmIPEasyEnquiryAddDlg::btnParameterClick()
{
    TQuillonTempTable tmptblNewParam;
    tmptblNewParam.AddField(kParamDesc, FieldType::String, 50);
    tmptblNewParam.AddField(kValue, FieldType::String, 200);
    tmptblNewParam.AddField(kType, FieldType::String, 30);
    tmptblNewParam.AddField(kDateValue, FieldType::DateTime);
    tmptblNewParam.CreateTable();
    for (const ParamEntry &entry : FEditor.Params()) {
        tmptblNewParam.brAppend();
        tmptblNewParam.FieldByName(kParamDesc).SetAsString(entry.name);
        tmptblNewParam.FieldByName(kValue).SetAsString(entry.value);
        tmptblNewParam.FieldByName(kType).SetAsString(entry.typeName);
        if (entry.date.isValid())
            tmptblNewParam.FieldByName(kDateValue).SetAsDateTime(entry.date);
        tmptblNewParam.brPost();
    }
    TQuillonTempTable *params = &tmptblNewParam;
    if (!OpenEnquiryParameters(0, params, Title(), FEditor.IsEditable()) || !params)
        return;
    std::vector<ParamEntry> confirmed;
    for (params->First(); !params->Eof(); params->Next()) {
        ParamEntry entry;
        entry.name = params->FieldByName(kParamDesc).AsString();
        entry.value = params->FieldByName(kValue).AsString();
        entry.typeName = params->FieldByName(kType).AsString();
        entry.date = params->FieldByName(kDateValue).AsDateTime();
        confirmed.push_back(entry);
    }
    FEditor.Params() = confirmed;
}

bool TfrmIPEasyEnquiryAddDlg::PassChecks()
{
    PushCursor();
    const std::optional<EditorRefusal> refusal = FEditor.ValidateInformation();
    PopCursor();
    if (!refusal)
        return true;
    if (auto *control = findChild<QWidget *>(refusal->control))
        control->setFocus();
    InfoMessage(refusal->text, MsgButtons::OK);
    return false;
}

bool TfrmIPEasyEnquiryAddDlg::CanClose()
{
    GetEditFields();
    if (!PassChecks())
        return false;
    QString error;
    PushCursor();
    const bool saved = FEditor.SaveRecord(error);
    PopCursor();
    if (!saved) {
        // Nothing was kept: the person may try again or cancel.
        ErrMessage(tr("The IQ was not saved: %1").arg(error), MsgButtons::OK);
        return false;
    }
    return true;
}

void DoIPEasyEnquiryAdd(int EnquiryID, bool DoCopyRecord, bool IsEditable)
{
    PushCursor();
    TfrmIPEasyEnquiryAddDlg dialog(ActiveHostWindow());
    dialog.SetEnquiryID(EnquiryID);
    dialog.SetDoCopyRecord(DoCopyRecord);
    dialog.SetIsEditable(IsEditable);
    QString error;
    const bool loaded = dialog.FormShow(error);
    PopCursor();
    if (!loaded) {
        ErrMessage(error, MsgButtons::OK);
        return;
    }
    // A statement that no longer compiles is reported as the editor opens; saving is blocked.
    if (!dialog.DiscoveryError().isEmpty())
        ErrMessage(dialog.DiscoveryError(), MsgButtons::OK);
    ExecModal(dialog);
}
