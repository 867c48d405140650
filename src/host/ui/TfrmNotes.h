#pragma once

#include "host/core/NotesStore.h"
#include "host/ui/TfrmQuillonDlg.h"

#include <vector>

class Connection;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

// The notes of one table row: a list with date and agent, a text box, Add, Save, Delete, Close.
// Each command writes at once; Close only closes.
class TfrmNotes final : public TfrmQuillonDlg
{
    Q_OBJECT
public:
    TfrmNotes(QWidget *parent, Connection &connection);
    void SetRow(const QString &table, int id);
    void SetNewNote(bool newNote, const QString &text);
    bool Changed() const { return FChanged; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void LoadNotes(int selectId);
    int SelectedNoteId() const;
    void grdNotesSelectionChanged();
    void btnAddClick();
    void btnSaveClick();
    void btnDeleteClick();
    void EnableButtons();

    QTableWidget *grdNotes;
    QPlainTextEdit *edtNote;
    QPushButton *btnAdd;
    QPushButton *btnSave;
    QPushButton *btnDelete;
    NotesStore FStore;
    std::vector<NotesStore::Note> FNotes;
    QString FTable;
    int FID = 0;
    bool FNewNote = false;
    QString FText;
    bool FChanged = false;
    bool FLoaded = false;
};

// Opens the notes window for the row. With `newNote` the text box starts with `text` for a new
// note; otherwise it shows the first note. True when a note was added, changed or deleted.
bool DoNotesForm(const QString &table, int id, bool newNote, const QString &text);
