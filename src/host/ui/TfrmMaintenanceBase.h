#pragma once

#include "host/ui/TfrmQuillon.h"

#include <QString>

#include <initializer_list>

class GridColumnFitter;
class QAction;
class QCloseEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QShowEvent;
class QToolBar;
class TmxGrid;
class TQuillonADOQuery;

// The host's maintenance list: a grid over one query with the commands to add, edit, copy and
// delete its rows, attach notes, search and save the grid. A derived list binds its query and
// columns and overrides the command handlers; each handler of the base does the list's own part
// (remembering to relocate, asking before a delete) and the derived one opens its windows.
// Used modeless (show()) or modal (ShowModal()).
class TfrmMaintenanceBase : public TfrmQuillon
{
    Q_OBJECT
public:
    explicit TfrmMaintenanceBase(QWidget *parent = nullptr);
    ~TfrmMaintenanceBase() override;

    // Runs the list inside a host dialog (through ExecModal, so a test script can drive it).
    // The dialog carries the list's class name as its object name.
    int ShowModal();

    // The host's selected-object list the list was opened for.
    void SetSelectedList(qint64 value) { FSelectedList = value; }
    qint64 SelectedList() const { return FSelectedList; }
    // The host function whose rights govern the list (registered at creation).
    void SetSystemFunction(int value) { FSystemFunction = value; }
    int SystemFunction() const { return FSystemFunction; }

    // Set by add, edit and copy: the next change message moves the list to the changed row.
    bool RelocateFlag() const { return FRelocate; }
    void SetRelocateFlag(bool value) { FRelocate = value; }

    bool HasFocusedRecord() const;
    TmxGrid *Grid() const { return grdMaint; }
    // Command states; runs whenever the focused record changes. Base: the commands on one record
    // need one.
    virtual void EnableMenus();

protected:
    // The query the grid shows, the field the search box locates by and the field that links a
    // row to its notes (the notes are kept under the query's table name).
    void SetMaintQuery(
        TQuillonADOQuery *query, const QString &searchField, const QString &notesLinkField);
    TQuillonADOQuery *MaintQuery() const { return FQuery; }
    void SetHeaderCaptions(const QString &caption, const QString &subCaption);
    // Appends a group of commands to the toolbar behind a separator.
    void AddToolbarGroup(std::initializer_list<QAction *> actions);
    // The column that takes the width the others leave (columns fit their content).
    void SetFillColumn(int column);
    // Greys the one base command a list closes to agents without the administrator flag: saving
    // the grid, since it copies every row out of the program into a file of the person's
    // choosing. Delete stays open to them: its own rules (system records) guard it.
    void DisableAdministratorCommand();
    static QString NoRecordReason(); // why a command on the focused row is greyed

    virtual void mniMaintAddClick();
    virtual void mniMaintEditClick();
    virtual void mniMaintCopyClick();
    // Asks DeleteQuestion(), then CheckBeforeDelete(), then DeleteRecord().
    virtual void mniMaintDeleteClick();
    virtual QString DeleteQuestion() const;
    virtual bool CheckBeforeDelete() { return true; }
    virtual bool DeleteRecord() { return false; }
    virtual void ExecNotes();
    virtual void mniGridSaveClick();
    virtual QString GridSaveTitle() const { return windowTitle(); }

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

    QToolBar *bmgMaintenance;
    QMenu *popMaintenance;
    QWidget *pnlHeader;
    QLabel *lblCaption;
    QLabel *lblSubCaption;
    TmxGrid *grdMaint;
    QLineEdit *edtSearch;
    QLabel *lblSearchStatus;
    QAction *mniMaintAdd;
    QAction *mniMaintEdit;
    QAction *mniMaintCopy;
    QAction *mniMaintDelete;
    QAction *mniNotes;
    QAction *mniSearch;
    QAction *mniGridSave;

private:
    void mniSearchClick();
    void SearchTextEdited(const QString &text);
    QString GridSection() const;
    void ShowFirstRecord();

    GridColumnFitter *FColumnFitter;

    TQuillonADOQuery *FQuery = nullptr;
    QString FSearchField;
    QString FNotesLinkField;
    qint64 FSelectedList = 0;
    int FSystemFunction = 0;
    bool FRelocate = false;
    bool FLayoutRestored = false;
};
