#include "host/ui/TfrmNotes.h"

#include "host/core/HostContext.h"
#include "host/core/Messages.h"
#include "host/ui/CommandState.h"
#include "host/ui/ModalDialogs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTableWidget>
#include <QVBoxLayout>

TfrmNotes::TfrmNotes(QWidget *parent, Connection &connection)
    : TfrmQuillonDlg(parent)
    , FStore(connection)
{
    setWindowTitle(tr("Notes"));
    grdNotes = new QTableWidget(0, 3, ClientPanel());
    grdNotes->setObjectName(QStringLiteral("grdNotes"));
    grdNotes->setHorizontalHeaderLabels({ tr("Date"), tr("Agent"), tr("Note") });
    grdNotes->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdNotes->setSelectionMode(QAbstractItemView::SingleSelection);
    grdNotes->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdNotes->horizontalHeader()->setStretchLastSection(true);
    grdNotes->verticalHeader()->hide();
    edtNote = new QPlainTextEdit(ClientPanel());
    edtNote->setObjectName(QStringLiteral("edtNote"));
    btnAdd = new QPushButton(tr("&Add"), ClientPanel());
    btnAdd->setObjectName(QStringLiteral("btnAdd"));
    btnSave = new QPushButton(tr("&Save"), ClientPanel());
    btnSave->setObjectName(QStringLiteral("btnSave"));
    btnDelete = new QPushButton(tr("&Delete"), ClientPanel());
    btnDelete->setObjectName(QStringLiteral("btnDelete"));

    auto *commands = new QHBoxLayout;
    commands->addWidget(btnAdd);
    commands->addWidget(btnSave);
    commands->addWidget(btnDelete);
    commands->addStretch();
    auto *layout = new QVBoxLayout(ClientPanel());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grdNotes, 2);
    layout->addWidget(edtNote, 1);
    layout->addLayout(commands);

    // Notes are written by their own commands: the dialog has nothing to confirm.
    btnOK->hide();
    btnCancel->setText(tr("Close"));
    btnCancel->setObjectName(QStringLiteral("btnClose"));
    btnCancel->setDefault(true);
    resize(520, 400);

    connect(
        grdNotes, &QTableWidget::itemSelectionChanged, this, &TfrmNotes::grdNotesSelectionChanged);
    connect(btnAdd, &QPushButton::clicked, this, &TfrmNotes::btnAddClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmNotes::btnSaveClick);
    connect(btnDelete, &QPushButton::clicked, this, &TfrmNotes::btnDeleteClick);
}

void TfrmNotes::SetRow(const QString &table, int id)
{
    FTable = table;
    FID = id;
}

void TfrmNotes::SetNewNote(bool newNote, const QString &text)
{
    FNewNote = newNote;
    FText = text;
}

void TfrmNotes::showEvent(QShowEvent *event)
{
    TfrmQuillonDlg::showEvent(event);
    if (FLoaded || event->spontaneous())
        return;
    FLoaded = true;
    LoadNotes(0);
    if (FNewNote || FNotes.empty()) {
        grdNotes->clearSelection();
        edtNote->setPlainText(FText);
        edtNote->setFocus();
    }
}

void TfrmNotes::LoadNotes(int selectId)
{
    QString error;
    if (!FStore.load(FTable, FID, FNotes, error)) {
        ErrMessage(tr("The notes could not be read.\r\n\r\n%1").arg(error));
        FNotes.clear();
    }
    const QSignalBlocker blocker(grdNotes);
    grdNotes->setRowCount(int(FNotes.size()));
    int selectRow = FNotes.empty() ? -1 : 0;
    for (int row = 0; row < int(FNotes.size()); ++row) {
        const NotesStore::Note &note = FNotes[row];
        grdNotes->setItem(
            row, 0, new QTableWidgetItem(QLocale().toString(note.created, QLocale::ShortFormat)));
        grdNotes->setItem(row, 1, new QTableWidgetItem(note.agentName));
        grdNotes->setItem(row, 2, new QTableWidgetItem(note.text.section(QLatin1Char('\n'), 0, 0)));
        if (note.idNotes == selectId)
            selectRow = row;
    }
    if (selectRow >= 0) {
        grdNotes->selectRow(selectRow);
        edtNote->setPlainText(FNotes[selectRow].text);
    } else {
        edtNote->clear();
    }
    EnableButtons();
}

int TfrmNotes::SelectedNoteId() const
{
    const QList<QTableWidgetItem *> selected = grdNotes->selectedItems();
    if (selected.isEmpty())
        return 0;
    const int row = selected.first()->row();
    return row < int(FNotes.size()) ? FNotes[row].idNotes : 0;
}

void TfrmNotes::grdNotesSelectionChanged()
{
    const int id = SelectedNoteId();
    for (const NotesStore::Note &note : FNotes) {
        if (note.idNotes == id)
            edtNote->setPlainText(note.text);
    }
    EnableButtons();
}

void TfrmNotes::btnAddClick()
{
    const QString text = edtNote->toPlainText();
    if (text.trimmed().isEmpty()) {
        InfoMessage(tr("Please type the text of the note first."));
        edtNote->setFocus();
        return;
    }
    int newId = 0;
    QString error;
    if (!FStore.add(FTable, FID, text, newId, error)) {
        ErrMessage(tr("The note could not be saved.\r\n\r\n%1").arg(error));
        return;
    }
    FChanged = true;
    LoadNotes(newId);
}

void TfrmNotes::btnSaveClick()
{
    const int id = SelectedNoteId();
    const QString text = edtNote->toPlainText();
    if (id == 0) {
        InfoMessage(tr("Please select the note to save."));
        return;
    }
    if (text.trimmed().isEmpty()) {
        InfoMessage(tr("Please type the text of the note first."));
        edtNote->setFocus();
        return;
    }
    QString error;
    if (!FStore.update(id, text, error)) {
        ErrMessage(tr("The note could not be saved.\r\n\r\n%1").arg(error));
        return;
    }
    FChanged = true;
    LoadNotes(id);
}

void TfrmNotes::btnDeleteClick()
{
    const int id = SelectedNoteId();
    if (id == 0 || !ConfMessage(tr("Delete the selected note?")))
        return;
    QString error;
    if (!FStore.remove(id, error)) {
        ErrMessage(tr("The note could not be deleted.\r\n\r\n%1").arg(error));
        return;
    }
    FChanged = true;
    LoadNotes(0);
}

void TfrmNotes::EnableButtons()
{
    const bool selected = SelectedNoteId() != 0;
    // One note per row: lists join the notes table and would show their row once per note.
    SetCommandState(btnAdd, grdNotes->rowCount() == 0, tr("This row has its note: change it."));
    SetCommandState(btnSave, selected, tr("No note is selected."));
    SetCommandState(btnDelete, selected, tr("No note is selected."));
}

bool DoNotesForm(const QString &table, int id, bool newNote, const QString &text)
{
    Connection *connection = PayrollConnection();
    if (!connection) {
        ErrMessage(QStringLiteral("Notes are not available: no payroll database is open."));
        return false;
    }
    TfrmNotes dlg(ActiveHostWindow(), *connection);
    dlg.SetRow(table, id);
    dlg.SetNewNote(newNote, text);
    ExecModal(dlg);
    return dlg.Changed();
}
