#include "host/ui/TfrmMaintenanceBase.h"

#include "host/core/Messages.h"
#include "host/core/Notes.h"
#include "host/core/RegIni.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/ui/CommandState.h"
#include "host/ui/GridColumnFitter.h"
#include "host/ui/ModalDialogs.h"
#include "host/ui/TfrmNotes.h"
#include "host/ui/TmxGrid.h"
#include "host/ui/TmxGridModel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShowEvent>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace {
QAction *MakeCommand(QObject *parent, const char *name, const QString &caption)
{
    auto *action = new QAction(caption, parent);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(QString(caption).remove(QLatin1Char('&')).remove(QStringLiteral("...")));
    return action;
}
}

TfrmMaintenanceBase::TfrmMaintenanceBase(QWidget *parent)
    : TfrmQuillon(parent)
{
    resize(720, 480);

    pnlHeader = new QWidget(this);
    pnlHeader->setObjectName(QStringLiteral("pnlHeader"));
    lblCaption = new QLabel(pnlHeader);
    lblCaption->setObjectName(QStringLiteral("lblCaption"));
    QFont captionFont = lblCaption->font();
    captionFont.setBold(true);
    captionFont.setPointSizeF(captionFont.pointSizeF() * 1.4);
    lblCaption->setFont(captionFont);
    lblSubCaption = new QLabel(pnlHeader);
    lblSubCaption->setObjectName(QStringLiteral("lblSubCaption"));
    auto *headerLayout = new QVBoxLayout(pnlHeader);
    headerLayout->setContentsMargins(6, 6, 6, 6);
    headerLayout->addWidget(lblCaption);
    headerLayout->addWidget(lblSubCaption);

    bmgMaintenance = new QToolBar(this);
    bmgMaintenance->setObjectName(QStringLiteral("bmgMaintenance"));
    bmgMaintenance->setToolButtonStyle(Qt::ToolButtonTextOnly);
    mniMaintAdd = MakeCommand(this, "mniMaintAdd", tr("&Add"));
    mniMaintEdit = MakeCommand(this, "mniMaintEdit", tr("&Edit"));
    mniMaintCopy = MakeCommand(this, "mniMaintCopy", tr("&Copy"));
    mniMaintDelete = MakeCommand(this, "mniMaintDelete", tr("&Delete"));
    mniNotes = MakeCommand(this, "mniNotes", tr("&Notes"));
    mniSearch = MakeCommand(this, "mniSearch", tr("&Search"));
    mniGridSave = MakeCommand(this, "mniGridSave", tr("Sa&ve Grid..."));
    mniMaintAdd->setShortcut(QKeySequence(Qt::Key_Insert));
    mniMaintDelete->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    mniSearch->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    for (QAction *action : { mniMaintAdd, mniMaintEdit, mniMaintCopy, mniMaintDelete, mniNotes,
             mniSearch, mniGridSave }) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(action);
    }

    popMaintenance = new QMenu(this);
    popMaintenance->setObjectName(QStringLiteral("popMaintenance"));
    popMaintenance->addActions({ mniMaintAdd, mniMaintEdit, mniMaintCopy, mniMaintDelete });
    popMaintenance->addSeparator();
    popMaintenance->addActions({ mniNotes, mniSearch });

    edtSearch = new QLineEdit(bmgMaintenance);
    edtSearch->setObjectName(QStringLiteral("edtSearch"));
    edtSearch->setMaximumWidth(160);
    edtSearch->setClearButtonEnabled(true);
    lblSearchStatus = new QLabel(bmgMaintenance);
    lblSearchStatus->setObjectName(QStringLiteral("lblSearchStatus"));
    // Copy has no toolbar button: it is offered in the grid's menu.
    bmgMaintenance->addActions({ mniMaintAdd, mniMaintEdit, mniMaintDelete });
    bmgMaintenance->addSeparator();
    bmgMaintenance->addAction(mniNotes);
    bmgMaintenance->addSeparator();
    bmgMaintenance->addAction(mniSearch);
    bmgMaintenance->addWidget(edtSearch)->setObjectName(QStringLiteral("edtSearchItem"));
    bmgMaintenance->addWidget(lblSearchStatus);
    AddToolbarGroup({ mniGridSave });

    grdMaint = new TmxGrid(this);
    grdMaint->setObjectName(QStringLiteral("grdMaint"));
    grdMaint->SetViewName(QStringLiteral("vwMaint"));
    grdMaint->SetPopupMenu(popMaintenance);
    FColumnFitter = new GridColumnFitter(grdMaint);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(pnlHeader);
    layout->addWidget(bmgMaintenance);
    layout->addWidget(grdMaint, 1);

    connect(mniMaintAdd, &QAction::triggered, this, &TfrmMaintenanceBase::mniMaintAddClick);
    connect(mniMaintEdit, &QAction::triggered, this, &TfrmMaintenanceBase::mniMaintEditClick);
    connect(mniMaintCopy, &QAction::triggered, this, &TfrmMaintenanceBase::mniMaintCopyClick);
    connect(mniMaintDelete, &QAction::triggered, this, &TfrmMaintenanceBase::mniMaintDeleteClick);
    connect(mniNotes, &QAction::triggered, this, &TfrmMaintenanceBase::ExecNotes);
    connect(mniSearch, &QAction::triggered, this, &TfrmMaintenanceBase::mniSearchClick);
    connect(mniGridSave, &QAction::triggered, this, &TfrmMaintenanceBase::mniGridSaveClick);
    connect(edtSearch, &QLineEdit::textEdited, this, &TfrmMaintenanceBase::SearchTextEdited);
    // Enter after a search takes the keyboard to the row it found.
    connect(edtSearch, &QLineEdit::returnPressed, grdMaint, [this] { grdMaint->setFocus(); });
    connect(grdMaint, &TmxGrid::FocusedRecordChanged, this, &TfrmMaintenanceBase::EnableMenus);
    connect(grdMaint->Model(), &TmxGridModel::RowsRebuilt, FColumnFitter,
        &GridColumnFitter::FitToContent);
    EnableMenus();
}

TfrmMaintenanceBase::~TfrmMaintenanceBase() = default;

void TfrmMaintenanceBase::SetMaintQuery(
    TQuillonADOQuery *query, const QString &searchField, const QString &notesLinkField)
{
    FQuery = query;
    FSearchField = searchField;
    FNotesLinkField = notesLinkField;
    grdMaint->SetDataSet(query);
}

void TfrmMaintenanceBase::SetHeaderCaptions(const QString &caption, const QString &subCaption)
{
    lblCaption->setText(caption);
    lblSubCaption->setText(subCaption);
}

void TfrmMaintenanceBase::AddToolbarGroup(std::initializer_list<QAction *> actions)
{
    bmgMaintenance->addSeparator();
    for (QAction *action : actions) {
        bmgMaintenance->addAction(action);
        // A shortcut works anywhere in the list unless its command chose a narrower place.
        if (action->shortcutContext() == Qt::WindowShortcut) {
            action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            addAction(action);
        }
    }
    popMaintenance->addSeparator();
    popMaintenance->addActions(QList<QAction *>(actions));
}

bool TfrmMaintenanceBase::HasFocusedRecord() const
{
    return grdMaint->HasFocusedRecord();
}

void TfrmMaintenanceBase::SetFillColumn(int column)
{
    FColumnFitter->SetFillColumn(column);
}

QString TfrmMaintenanceBase::NoRecordReason()
{
    return tr("No row is selected.");
}

void TfrmMaintenanceBase::DisableAdministratorCommand()
{
    SetCommandState(mniGridSave, false, tr("Only an administrator may save the grid."));
}

void TfrmMaintenanceBase::EnableMenus()
{
    const bool focused = HasFocusedRecord();
    for (QAction *action : { mniMaintEdit, mniMaintCopy, mniMaintDelete, mniNotes })
        SetCommandState(action, focused, NoRecordReason());
    SetCommandState(mniMaintAdd, true);
    SetCommandState(mniSearch, !FSearchField.isEmpty(), tr("This list has no search."));
    SetCommandState(mniGridSave, true);
}

void TfrmMaintenanceBase::mniMaintAddClick()
{
    FRelocate = true;
}

void TfrmMaintenanceBase::mniMaintEditClick()
{
    if (HasFocusedRecord())
        FRelocate = true;
}

void TfrmMaintenanceBase::mniMaintCopyClick()
{
    if (HasFocusedRecord())
        FRelocate = true;
}

QString TfrmMaintenanceBase::DeleteQuestion() const
{
    return tr("Delete this record?");
}

void TfrmMaintenanceBase::mniMaintDeleteClick()
{
    if (!HasFocusedRecord())
        return;
    // The list stays where the delete leaves it, whatever an earlier add or edit asked for.
    FRelocate = false;
    if (!ConfMessage(DeleteQuestion(), MsgButtons::YesNo))
        return;
    if (!CheckBeforeDelete())
        return;
    DeleteRecord();
}

void TfrmMaintenanceBase::ExecNotes()
{
    if (!HasFocusedRecord() || !FQuery || FNotesLinkField.isEmpty())
        return;
    const int id = FQuery->FieldByName(FNotesLinkField).AsInteger();
    if (DoNotesForm(FQuery->TableName(), id, false, QString()))
        FQuery->brRefresh();
}

void TfrmMaintenanceBase::mniGridSaveClick()
{
    grdMaint->SaveGridToFile(GridSaveTitle(), true, true, false);
}

void TfrmMaintenanceBase::mniSearchClick()
{
    edtSearch->setFocus(Qt::ShortcutFocusReason);
    edtSearch->selectAll();
}

// Moves to the row whose search field comes first among those beginning with the typed text,
// which is the first such row of a list sorted by that field. When no row begins so, the list
// says so and stays where it was.
void TfrmMaintenanceBase::SearchTextEdited(const QString &text)
{
    lblSearchStatus->clear();
    if (!FQuery || text.isEmpty())
        return;
    const int field = FQuery->FieldIndex(FSearchField);
    if (field < 0)
        return;
    int best = -1;
    QString bestText;
    for (int record = 0; record < FQuery->RecordCount(); ++record) {
        const QString value = FQuery->TextAt(FQuery->RowOfRecord(record), field);
        if (!value.startsWith(text, Qt::CaseInsensitive))
            continue;
        if (best < 0 || value.compare(bestText, Qt::CaseInsensitive) < 0) {
            best = record;
            bestText = value;
        }
    }
    if (best >= 0) {
        FQuery->MoveTo(best);
        return;
    }
    const QString caption = grdMaint->ColumnCaption(grdMaint->ColumnByField(FSearchField));
    lblSearchStatus->setText(tr("No %1 begins with \"%2\".").arg(caption, text));
    QApplication::beep();
}

QString TfrmMaintenanceBase::GridSection() const
{
    return QuillonRegName();
}

void TfrmMaintenanceBase::showEvent(QShowEvent *event)
{
    if (!event->spontaneous() && !FLayoutRestored) {
        FLayoutRestored = true;
        grdMaint->SetRegistrySection(GridSection(), QStringLiteral("vwMaint"));
        if (!ResetRegistry())
            grdMaint->RestoreLayout();
        FColumnFitter->FitToContent();
        ShowFirstRecord();
        EnableMenus();
    }
    TfrmQuillon::showEvent(event);
}

// A list opens on its top row, whichever record its query made current, with the keyboard in
// the rows.
void TfrmMaintenanceBase::ShowFirstRecord()
{
    if (grdMaint->Model()->rowCount() > 0)
        grdMaint->FocusRecord(grdMaint->Model()->RecordOfRow(0));
    grdMaint->View()->scrollToTop();
    grdMaint->setFocus();
}

void TfrmMaintenanceBase::closeEvent(QCloseEvent *event)
{
    // Saved before the base window, which erases the whole section when asked to reset.
    if (ResetRegistry())
        RegIni::EraseSection(GridSection());
    else if (SaveSettings() && FLayoutRestored) {
        FColumnFitter->Unfill();
        grdMaint->SaveLayout();
    }
    TfrmQuillon::closeEvent(event);
}

int TfrmMaintenanceBase::ShowModal()
{
    QDialog host(ActiveHostWindow());
    host.setObjectName(QString::fromLatin1(metaObject()->className()));
    host.setWindowTitle(windowTitle());
    host.resize(size());
    auto *layout = new QVBoxLayout(&host);
    layout->setContentsMargins(0, 0, 0, 0);
    QWidget *previousParent = parentWidget();
    // Inside its dialog the list has no window position of its own to keep.
    SetKeepsPosition(false);
    setParent(&host, Qt::Widget);
    layout->addWidget(this);
    show();
    // The list's own close runs when its dialog closes, so its settings are saved either way.
    connect(&host, &QDialog::finished, this, [this] {
        QCloseEvent closing;
        closeEvent(&closing);
    });
    const int result = ExecModal(host);
    layout->removeWidget(this);
    setParent(previousParent, Qt::Window);
    return result;
}
