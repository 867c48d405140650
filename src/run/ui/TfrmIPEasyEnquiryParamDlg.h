#pragma once

#include "host/ui/TfrmQuillonDlg.h"

#include <QString>

#include <vector>

class QGroupBox;
class QShowEvent;
class TmxGrid;
class TQuillonTempTable;
struct ParamEntry;

// The parameters of an IQ. Values mode (enquiry id > 0): the stored parameter rows, whose
// values the person sets before the IQ runs; they are written back on OK. Definitions mode
// (enquiry id 0): the editor's in-memory parameter set, copied back on OK; nothing is stored.
class TfrmIPEasyEnquiryParamDlg final : public TfrmQuillonDlg
{
    Q_OBJECT
public:
    explicit TfrmIPEasyEnquiryParamDlg(QWidget *parent);
    ~TfrmIPEasyEnquiryParamDlg() override;

    void SetEnquiryID(int value) { FEnquiryID = value; }
    // The Type column can be changed only in definitions mode, and only when the caller allows it.
    void SetIsEditable(bool value);
    void SetTitle(const QString &value) { FTitle = value; }
    // The caller's parameter set (definitions mode only); not owned.
    void SettmptblSQLParam(TQuillonTempTable *value) { FtmptblSQLParam = value; }
    TQuillonTempTable *GettmptblSQLParam() const { return FtmptblSQLParam; }

    int GetCurrentHelpContext() const override { return 180090; }

protected:
    bool CanClose() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void SetEditFields();
    void SetDialogCaption();
    std::vector<ParamEntry> Entries();
    // Shows the first fault and opens its cell; false when there is one.
    bool ValidateData(std::vector<ParamEntry> &entries);
    bool SaveRecord(const std::vector<ParamEntry> &entries);
    void EditCell(int row, int column); // row as shown
    void MoveOn();
    void CommitEdit();

    QGroupBox *grpParameters;
    TmxGrid *grdParam;
    int vwParamcParamDesc; // grid columns
    int vwParamcType;
    int vwParamcValue;
    TQuillonTempTable *tmptblParam;
    int FEnquiryID = 0;
    TQuillonTempTable *FtmptblSQLParam = nullptr;
    bool FIsEditable = false;
    QString FTitle;
    bool FShown = false;
};

// Shows the dialog modally. True when confirmed with OK; `params` then is the dialog's
// parameter set: the caller's own set in definitions mode, null in values mode.
bool DoIPEasyEnquiryParam(
    int EnquiryID, TQuillonTempTable *&params, const QString &Title, bool IsEditable);
