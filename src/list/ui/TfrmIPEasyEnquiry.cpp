#include "list/ui/TfrmIPEasyEnquiry.h"

#include "host/core/Agent.h"
#include "host/core/ChangeMessage.h"
#include "host/core/Cursor.h"
#include "host/core/HostContext.h"
#include "host/core/Messages.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/dataset/TQuillonADOStoredProc.h"
#include "host/ui/CommandState.h"
#include "host/ui/TmxGrid.h"
#include "host/ui/TmxGridModel.h"
#include "run/EnquiryChangeMessage.h"
#include "run/EnquiryRights.h"
#include "run/EnquiryWindows.h"
#include "store/EnquiryStatements.h"
#include "store/SystemRecord.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QAction>
#include <QTableView>

namespace {

QAction *MakeCommand(QObject *parent, const char *name, const QString &caption, const QString &hint)
{
    auto *action = new QAction(caption, parent);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(hint);
    action->setStatusTip(hint);
    return action;
}
}

TfrmIPEasyEnquiry::TfrmIPEasyEnquiry(QWidget *parent)
    : TfrmMaintenanceBase(parent)
{
    setObjectName(QStringLiteral("frmIPEasyEnquiry"));
    setWindowTitle(tr("IQ"));
    SetHeaderCaptions(tr("IQ"), tr("IQ List"));
    SetSystemFunction(kFunctionEasyEnquiry);

    qryEasyEnquiry = new TqryIPEasyEnquiry(this);
    qryEasyEnquiry->setObjectName(QStringLiteral("qryEasyEnquiry"));
    qryEasyEnquiry->SetConnection(ADOMainConnection());
    qryEasyEnquiry->SetSQL(EnquiryListSQL());
    qryParam = new TQuillonADOQuery(this);
    qryParam->setObjectName(QStringLiteral("qryParam"));
    qryParam->SetConnection(ADOMainConnection());
    spDeleteRecord = std::make_unique<TQuillonADOStoredProc>();
    spDeleteRecord->SetConnection(ADOMainConnection());
    spDeleteRecord->SetProcedureName(QStringLiteral("_ipspDeleteEasyEnquiry"));

    mniGridShow = MakeCommand(this, "mniGridShow", tr("&Show..."), tr("Show"));
    mniGridShow->setShortcuts({ QKeySequence(Qt::Key_Return), QKeySequence(Qt::Key_Enter) });
    // Enter runs the IQ only from the rows: in the search box and the filter row it has its own
    // use.
    mniGridShow->setShortcutContext(Qt::WidgetShortcut);
    grdMaint->View()->addAction(mniGridShow);
    mniExport = MakeCommand(this, "mniExport", tr("Export..."), tr("Export"));
    mniImport = MakeCommand(this, "mniImport", tr("Import..."), tr("Import"));
    AddToolbarGroup({ mniGridShow });
    AddToolbarGroup({ mniExport, mniImport });

    struct ColumnDef
    {
        const char *caption;
        const char *field;
        bool visible;
        int width;
        int minWidth;
    };
    // vwMaintidEnquiry, vwMaintCode, vwMaintDescription, vwMaintCompany, vwMaintFrequency,
    // vwMaintDatabase, vwMaintType, vwMaintidNotes, vwMaintPFCode, vwMaintPFDesc
    static const ColumnDef columns[] = {
        { "Enquiry ID", "idEnquiry", false, 0, 0 },
        { "Code", "cCode", true, 63, 10 },
        { "Description", "cDescription", true, 166, 0 },
        { "Company", "cCompany", true, 166, 50 },
        { "Frequency", "cFrequency", true, 130, 0 },
        { "Database", "cDatabase", false, 0, 0 },
        { "Type", "cType", true, 68, 0 },
        { "Notes", "idNotes", false, 0, 0 },
        { "Pay Frequency Code", "PFCode", false, 0, 0 },
        { "Pay Frequency Description", "PFDesc", false, 0, 0 },
    };
    for (const ColumnDef &def : columns) {
        const int column = grdMaint->AddColumn(
            QString::fromLatin1(def.field), QString::fromLatin1(def.caption), def.visible);
        if (def.width > 0)
            grdMaint->SetColumnWidth(column, def.width);
        if (def.minWidth > 0)
            grdMaint->SetColumnMinWidth(column, def.minWidth);
    }
    grdMaint->SetSortColumn(grdMaint->ColumnByField(QStringLiteral("cCode")), Qt::AscendingOrder);
    SetFillColumn(grdMaint->ColumnByField(QStringLiteral("cDescription")));
    SetMaintQuery(qryEasyEnquiry, QString::fromLatin1(TqryIPEasyEnquiry::_IPEQEnquiryCode),
        QString::fromLatin1(TqryIPEasyEnquiry::_IPEQIDEnquiry));

    connect(mniGridShow, &QAction::triggered, this, &TfrmIPEasyEnquiry::mniGridShowClick);
    connect(mniExport, &QAction::triggered, this, &TfrmIPEasyEnquiry::mniExportClick);
    connect(mniImport, &QAction::triggered, this, &TfrmIPEasyEnquiry::mniImportClick);
    // Only a double click on a row reaches here: the header and the empty area give none.
    connect(grdMaint, &TmxGrid::RecordDoubleClicked, this, &TfrmIPEasyEnquiry::vwMaintDblClick);

    if (!qryEasyEnquiry->Open())
        ErrMessage(qryEasyEnquiry->LastErrorText());
    EnableMenus();
}

TfrmIPEasyEnquiry::~TfrmIPEasyEnquiry() = default;

void TfrmIPEasyEnquiry::HostMessage(int message, qint64 param1, qint64 param2)
{
    if (message == kMsgEasyEnquiryChanged)
        IPMEasyEnquiryChanged(param1);
    else
        TfrmMaintenanceBase::HostMessage(message, param1, param2);
}

void TfrmIPEasyEnquiry::EnableMenus()
{
    TfrmMaintenanceBase::EnableMenus();
    const bool focused = HasFocusedRecord();
    SetCommandState(mniGridShow, focused, NoRecordReason());
    // Without an agent the exchange right is refused too, with the reason that nobody is in.
    QString refusal;
    const bool exchange = MayUseFunction(kFunctionEasyEnquiryExchange, refusal);
    SetCommandState(mniExport, exchange && focused, exchange ? NoRecordReason() : refusal);
    SetCommandState(mniImport, exchange, refusal);
    if (const TAgent *agent = CurrentAgent(); agent && !agent->IsAdministrator())
        DisableAdministratorCommand();
}

void TfrmIPEasyEnquiry::mniMaintAddClick()
{
    TfrmMaintenanceBase::mniMaintAddClick();
    OpenEnquiryEditor(0, false, true);
}

void TfrmIPEasyEnquiry::mniMaintEditClick()
{
    if (!HasFocusedRecord())
        return;
    TfrmMaintenanceBase::mniMaintEditClick();
    const int id = qryEasyEnquiry->GetIDEnquiry();
    if (IsReserved(qryEasyEnquiry->GetCode())) {
        InfoMessage(tr("IQ \"%1\" is a system record and cannot be modified.")
                        .arg(qryEasyEnquiry->GetDescription()),
            MsgButtons::OK);
        OpenEnquiryEditor(id, false, false);
        return;
    }
    OpenEnquiryEditor(id, false, true);
}

void TfrmIPEasyEnquiry::mniMaintCopyClick()
{
    if (!HasFocusedRecord())
        return;
    TfrmMaintenanceBase::mniMaintCopyClick();
    OpenEnquiryEditor(qryEasyEnquiry->GetIDEnquiry(), true, true);
}

QString TfrmIPEasyEnquiry::DeleteQuestion() const
{
    return QStringLiteral("Delete Enquiry \"%1\" ?").arg(qryEasyEnquiry->GetDescription());
}

bool TfrmIPEasyEnquiry::CheckBeforeDelete()
{
    if (!IsReserved(qryEasyEnquiry->GetCode()))
        return true;
    InfoMessage(tr("IQ \"%1\" is a system record and cannot be deleted.")
                    .arg(qryEasyEnquiry->GetDescription()),
        MsgButtons::OK);
    return false;
}

bool TfrmIPEasyEnquiry::DeleteRecord()
{
    const QString neighbour = SiblingKeyForDelete();
    spDeleteRecord->Parameters().SetValue(
        QStringLiteral("@EasyEnquiryID"), std::int64_t(qryEasyEnquiry->GetIDEnquiry()));
    if (!spDeleteRecord->rvExecProc(true))
        return false;
    // The deleted IQ leaves the list now; other open lists follow on the change message.
    if (neighbour.isEmpty())
        qryEasyEnquiry->brRefresh();
    else
        qryEasyEnquiry->brRefresh(
            true, QString::fromLatin1(TqryIPEasyEnquiry::_IPEQIDEnquiry), neighbour);
    PostEasyEnquiryChanged(0);
    EnableMenus();
    return true;
}

// The row that takes the focus when the focused one goes: the next one shown, else the one
// before it. Its key, as the refresh after the delete finds rows by key.
QString TfrmIPEasyEnquiry::SiblingKeyForDelete() const
{
    const TmxGridModel *model = grdMaint->Model();
    const int row = model->RowOfRecord(grdMaint->FocusedRecord());
    const int sibling = row + 1 < model->rowCount() ? row + 1 : row - 1;
    if (row < 0 || sibling < 0)
        return {};
    const int dataRow = qryEasyEnquiry->RowOfRecord(model->RecordOfRow(sibling));
    const int field
        = qryEasyEnquiry->FieldIndex(QString::fromLatin1(TqryIPEasyEnquiry::_IPEQIDEnquiry));
    return qryEasyEnquiry->TextAt(dataRow, field);
}

void TfrmIPEasyEnquiry::mniGridShowClick()
{
    if (!HasFocusedRecord())
        return;
    const int id = qryEasyEnquiry->GetIDEnquiry();
    qryParam->Close();
    qryParam->SetSQL(ParamRowsSQL(id));
    if (!qryParam->Open()) {
        ErrMessage(qryParam->LastErrorText());
        return;
    }
    const QString caption = id > 0
        ? QStringLiteral("\"%1 - %2\"")
              .arg(qryEasyEnquiry->GetCode(), qryEasyEnquiry->GetDescription())
        : QString();
    if (qryParam->IsEmpty()) {
        OpenEnquiryResult(id);
        return;
    }
    // The values are stored by the dialog itself; the set it hands back is not needed here.
    TQuillonTempTable *params = nullptr;
    if (OpenEnquiryParameters(id, params, caption, false))
        OpenEnquiryResult(id);
}

void TfrmIPEasyEnquiry::vwMaintDblClick()
{
    if (mniGridShow->isEnabled())
        mniGridShowClick();
}

void TfrmIPEasyEnquiry::mniExportClick()
{
    if (OpenEnquiryExport(qryEasyEnquiry->GetIDEnquiry()))
        grdMaint->setFocus();
}

void TfrmIPEasyEnquiry::mniImportClick()
{
    int enquiryId = 0;
    if (!OpenEnquiryImport(enquiryId))
        return;
    // The refresh the change message brings moves the list to the last IQ imported.
    SetRelocateFlag(true);
    PostEasyEnquiryChanged(enquiryId);
    grdMaint->FocusRecord(grdMaint->Model()->RecordOfRow(0));
    EnableMenus();
}

void TfrmIPEasyEnquiry::IPMEasyEnquiryChanged(qint64 enquiryId)
{
    if (RelocateFlag())
        qryEasyEnquiry->brRefresh(true, QString::fromLatin1(TqryIPEasyEnquiry::_IPEQIDEnquiry),
            QString::number(enquiryId));
    else
        qryEasyEnquiry->brRefresh();
    SetRelocateFlag(false);
    EnableMenus();
}

void DoIPEasyEnquiry(bool modal, qint64 selectedList, bool unused)
{
    Q_UNUSED(unused);
    QString refusal;
    if (!MayUseFunction(kFunctionEasyEnquiry, refusal)) {
        InfoMessage(refusal);
        return;
    }
    PushCursor();
    if (modal) {
        TfrmIPEasyEnquiry list;
        list.SetSelectedList(selectedList);
        PopCursor();
        list.ShowModal();
        return;
    }
    auto *list = new TfrmIPEasyEnquiry(nullptr);
    list->setAttribute(Qt::WA_DeleteOnClose);
    list->SetSelectedList(selectedList);
    PopCursor();
    list->show();
}
