#pragma once

#include "edit/EnquiryEditor.h"
#include "host/ui/TfrmQuillonDlg.h"

#include <QString>

class ColumnDetailsGroup;
class LookupCombo;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// Adds, edits, copies or (for a system record) shows an IQ: its fields, its statement through
// the SQL statement dialog, its result columns and its parameter definitions. Every check and
// the save are EnquiryEditor's, the same code corvane-iq runs; this window only shows them.
class TfrmIPEasyEnquiryAddDlg final : public TfrmQuillonDlg
{
    Q_OBJECT
public:
    explicit TfrmIPEasyEnquiryAddDlg(QWidget *parent);
    ~TfrmIPEasyEnquiryAddDlg() override;

    void SetEnquiryID(int value) { FEnquiryID = value; }
    void SetDoCopyRecord(bool value) { FDoCopyRecord = value; }
    void SetIsEditable(bool value);

    // Reads the definition (and compiles its statement for the columns) before the dialog is
    // shown; false with `error` when the IQ cannot be read.
    bool FormShow(QString &error);
    // "IQ Error: " and the reason when the statement did not compile; empty otherwise.
    const QString &DiscoveryError() const { return FEditor.Error(); }

    int GetCurrentHelpContext() const override { return 180160; }

protected:
    bool CanClose() override;

private:
    void SetEditFields();
    void SetDialogCaption();
    void SetNoteSpeedBitmap();
    void SetButtonState();
    void GetEditFields(); // the controls into the editor's fields
    bool PassChecks();
    QString Title() const; // "CODE - Description" between double quotes; empty for a new IQ
    void btnNoteClick();
    void btnSQLStatementClick();
    void btnParameterClick();

    EnquiryEditor FEditor;
    QGroupBox *grpEnquiry;
    QLabel *lblCode;
    QLineEdit *edtCode;
    QToolButton *btnNote;
    QLineEdit *edtDescription;
    LookupCombo *cbxPayerGroups;
    LookupCombo *cbxPayFrequency;
    QComboBox *cbxDatabase;
    LookupCombo *cbxType;
    ColumnDetailsGroup *grpColumn;
    QPushButton *btnSQLStatement;
    QPushButton *btnParameter;
    int FEnquiryID = 0;
    bool FDoCopyRecord = false;
    bool FIsEditable = true;
};

void DoIPEasyEnquiryAdd(int EnquiryID, bool DoCopyRecord, bool IsEditable);
