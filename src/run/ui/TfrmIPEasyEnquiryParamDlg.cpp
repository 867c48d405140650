#include "run/ui/TfrmIPEasyEnquiryParamDlg.h"

#include "host/core/Cursor.h"
#include "host/core/HostContext.h"
#include "host/core/Messages.h"
#include "host/core/TypeTables.h"
#include "host/db/dataset/TQuillonTempTable.h"
#include "host/ui/ModalDialogs.h"
#include "host/ui/TmxGrid.h"
#include "host/ui/TmxGridModel.h"
#include "run/ParamValue.h"
#include "run/PrepareStatement.h"
#include "run/ui/ParamValueDelegate.h"

#include <QGroupBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QShowEvent>
#include <QTableView>
#include <QVBoxLayout>

#include <vector>

namespace {
const QString kParamDesc = QStringLiteral("cParamDesc");
const QString kValue = QStringLiteral("cValue");
const QString kType = QStringLiteral("cType");
const QString kDateValue = QStringLiteral("dtValue");
}

TfrmIPEasyEnquiryParamDlg::TfrmIPEasyEnquiryParamDlg(QWidget *parent)
    : TfrmQuillonDlg(parent)
{
    setObjectName(QStringLiteral("frmIPEasyEnquiryParamDlg"));
    resize(480, 300);

    tmptblParam = new TQuillonTempTable(this);
    tmptblParam->setObjectName(QStringLiteral("tmptblParam"));
    tmptblParam->AddField(kParamDesc, FieldType::String, 50);
    tmptblParam->AddField(kValue, FieldType::String, 200);
    tmptblParam->AddField(kType, FieldType::String, 30);
    tmptblParam->AddField(kDateValue, FieldType::DateTime, 0);
    tmptblParam->CreateTable();

    grpParameters = new QGroupBox(tr("Parameters"), ClientPanel());
    grpParameters->setObjectName(QStringLiteral("grpParameters"));
    grdParam = new TmxGrid(grpParameters);
    grdParam->setObjectName(QStringLiteral("grdParam"));
    grdParam->SetViewName(QStringLiteral("vwParam"));
    grdParam->SetFilterRowVisible(false);
    grdParam->SetEditable(true);
    vwParamcParamDesc = grdParam->AddColumn(kParamDesc, tr("Description"));
    grdParam->SetColumnReadOnly(vwParamcParamDesc, true);
    grdParam->SetColumnMinWidth(vwParamcParamDesc, 50);
    vwParamcType = grdParam->AddColumn(kType, tr("Type"));
    grdParam->SetColumnReadOnly(vwParamcType, true);
    vwParamcValue = grdParam->AddColumn(kValue, tr("Value"));
    grdParam->SetColumnMinWidth(vwParamcValue, 200);
    grdParam->SetColumnWidth(vwParamcValue, 200);
    grdParam->SetDataSet(tmptblParam);
    grdParam->SetSortColumn(vwParamcParamDesc, Qt::AscendingOrder);
    // The name is only read: the cursor skips it and lands on the value.
    connect(grdParam->View()->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this](const QModelIndex &current) {
            if (current.isValid() && current.column() == vwParamcParamDesc)
                grdParam->View()->setCurrentIndex(current.siblingAtColumn(vwParamcValue));
        });
    grdParam->View()->installEventFilter(this);
    auto *valueDelegate = new ParamValueDelegate(vwParamcType, grdParam->View());
    grdParam->View()->setItemDelegateForColumn(vwParamcValue, valueDelegate);
    connect(
        valueDelegate, &ParamValueDelegate::ValueEntered, this, &TfrmIPEasyEnquiryParamDlg::MoveOn);

    auto *groupLayout = new QVBoxLayout(grpParameters);
    groupLayout->addWidget(grdParam);
    auto *clientLayout = new QVBoxLayout(ClientPanel());
    clientLayout->setContentsMargins(0, 0, 0, 0);
    clientLayout->addWidget(grpParameters);
}

TfrmIPEasyEnquiryParamDlg::~TfrmIPEasyEnquiryParamDlg() = default;

void TfrmIPEasyEnquiryParamDlg::SetIsEditable(bool value)
{
    FIsEditable = value;
    grdParam->SetColumnReadOnly(vwParamcType, !(FEnquiryID == 0 && FIsEditable));
}

// Enter on a cell moves on as Enter in its editor does, rather than pressing OK before every
// value is in.
bool TfrmIPEasyEnquiryParamDlg::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == grdParam->View() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            MoveOn();
            return true;
        }
    }
    return TfrmQuillonDlg::eventFilter(watched, event);
}

void TfrmIPEasyEnquiryParamDlg::showEvent(QShowEvent *event)
{
    const bool first = !event->spontaneous() && !FShown;
    if (first) {
        FShown = true;
        FormShow();
    }
    TfrmQuillonDlg::showEvent(event);
    // Typing goes straight into the first value.
    if (first && grdParam->Model()->rowCount() > 0)
        EditCell(0, vwParamcValue);
}

// The next value in the order shown, in its editor; from the last one, OK.
void TfrmIPEasyEnquiryParamDlg::MoveOn()
{
    const int row = grdParam->View()->currentIndex().row();
    if (row + 1 < grdParam->Model()->rowCount())
        EditCell(row + 1, vwParamcValue);
    else
        btnOKClick();
}

// The cell current and in its editor, the text there selected, so that typing replaces it.
void TfrmIPEasyEnquiryParamDlg::EditCell(int row, int column)
{
    QTableView *view = grdParam->View();
    const QModelIndex cell = grdParam->Model()->index(row, column);
    view->setCurrentIndex(cell);
    view->setFocus();
    view->edit(cell);
}

// A value still in its editor counts: OK checks what the person sees.
void TfrmIPEasyEnquiryParamDlg::CommitEdit()
{
    QTableView *view = grdParam->View();
    const QModelIndex current = view->currentIndex();
    QWidget *editor = current.isValid() ? view->indexWidget(current) : nullptr;
    if (!editor)
        return;
    QAbstractItemDelegate *delegate = view->itemDelegateForIndex(current);
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor);
}

void TfrmIPEasyEnquiryParamDlg::FormShow()
{
    SetEditFields();
    grdParam->SetColumnPickList(vwParamcType, TSQLDataTypesString());
    SetDialogCaption();
}

void TfrmIPEasyEnquiryParamDlg::SetEditFields()
{
    tmptblParam->DisableControls();
    tmptblParam->EmptyTable();
    tmptblParam->Open();
    if (FEnquiryID > 0) {
        std::vector<ParamRow> rows;
        QString error;
        Connection *connection = ADOMainConnection();
        // A read failure is reported; the dialog then lists nothing and stores nothing.
        if (connection && !ReadParamRows(*connection, FEnquiryID, true, rows, error))
            ErrMessage(error);
        const QStringList &types = TSQLDataTypesString();
        for (const ParamRow &row : rows) {
            tmptblParam->brAppend();
            tmptblParam->FieldByName(kType).SetAsString(types.value(row.typeIndex));
            tmptblParam->FieldByName(kParamDesc).SetAsString(row.name);
            tmptblParam->FieldByName(kValue).SetAsString(ParamDisplayValue(row));
            tmptblParam->brPost();
        }
    } else if (FtmptblSQLParam) {
        CopyTable(*FtmptblSQLParam, *tmptblParam, true);
    }
    tmptblParam->First();
    tmptblParam->EnableControls();
}

void TfrmIPEasyEnquiryParamDlg::SetDialogCaption()
{
    QString caption
        = FEnquiryID == 0 ? tr("Modify Enquiry Parameters") : tr("Modify Enquiry Parameter Values");
    if (!FTitle.isEmpty())
        caption += QStringLiteral(" for %1").arg(FTitle);
    setWindowTitle(caption);
}

bool TfrmIPEasyEnquiryParamDlg::CanClose()
{
    CommitEdit();
    std::vector<ParamEntry> entries = Entries();
    if (!ValidateData(entries))
        return false;
    if (FEnquiryID > 0)
        return SaveRecord(entries);
    if (FtmptblSQLParam)
        CopyTable(*tmptblParam, *FtmptblSQLParam, true);
    return true;
}

std::vector<ParamEntry> TfrmIPEasyEnquiryParamDlg::Entries()
{
    std::vector<ParamEntry> entries;
    for (tmptblParam->First(); !tmptblParam->Eof(); tmptblParam->Next()) {
        ParamEntry entry;
        entry.name = tmptblParam->FieldByName(kParamDesc).AsString();
        entry.typeName = tmptblParam->FieldByName(kType).AsString();
        entry.value = tmptblParam->FieldByName(kValue).AsString();
        entries.push_back(entry);
    }
    return entries;
}

bool TfrmIPEasyEnquiryParamDlg::ValidateData(std::vector<ParamEntry> &entries)
{
    QString message;
    int failedRow = -1;
    const bool valid = ValidateParamEntries(entries, message, failedRow);
    const QString dateType = TSQLDataTypesString().value(kSQLTypeDate);
    // The converted dates go back into the set: definitions mode hands them to the editor.
    for (int i = 0; i < int(entries.size()); ++i) {
        if (entries[i].typeName != dateType || !entries[i].date.isValid()
            || !tmptblParam->MoveTo(i))
            continue;
        tmptblParam->brEdit();
        tmptblParam->FieldByName(kDateValue).SetAsDateTime(entries[i].date);
        tmptblParam->brPost();
    }
    if (valid)
        return true;
    tmptblParam->MoveTo(failedRow);
    const bool typeKnown = TSQLDataTypesString().contains(entries[failedRow].typeName);
    if (typeKnown)
        ErrMessage(message, MsgButtons::OK);
    else
        InfoMessage(message, MsgButtons::OK);
    EditCell(grdParam->Model()->RowOfRecord(failedRow), typeKnown ? vwParamcValue : vwParamcType);
    return false;
}

bool TfrmIPEasyEnquiryParamDlg::SaveRecord(const std::vector<ParamEntry> &entries)
{
    Connection *connection = ADOMainConnection();
    QString error;
    if (!connection || !StoreParamValues(*connection, FEnquiryID, entries, error)) {
        ErrMessage(error);
        return false;
    }
    return true;
}

bool DoIPEasyEnquiryParam(
    int EnquiryID, TQuillonTempTable *&params, const QString &Title, bool IsEditable)
{
    PushCursor();
    TfrmIPEasyEnquiryParamDlg dialog(ActiveHostWindow());
    dialog.SetEnquiryID(EnquiryID);
    dialog.SetIsEditable(IsEditable);
    dialog.SetTitle(Title);
    if (EnquiryID == 0)
        dialog.SettmptblSQLParam(params);
    PopCursor();
    if (ExecModal(dialog) != QDialog::Accepted)
        return false;
    params = dialog.GettmptblSQLParam();
    return true;
}
