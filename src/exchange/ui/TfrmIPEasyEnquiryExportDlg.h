#pragma once

#include "host/ui/TfrmQuillonDlg.h"

class ExchangeFileBox;
class QGroupBox;
class QLabel;
class QRadioButton;

// Exports the IQ focused in the list, or every IQ, to a simple XML db file when closed with
// Export.
class TfrmIPEasyEnquiryExportDlg final : public TfrmQuillonDlg
{
    Q_OBJECT
public:
    explicit TfrmIPEasyEnquiryExportDlg(QWidget *parent);
    void SetEnquiryID(int value) { FEnquiryID = value; }
    int GetCurrentHelpContext() const override { return 180060; }

protected:
    bool CanClose() override; // FormCloseQuery for the Export button

private:
    bool CheckFileName();
    bool ExportEasyEnquiry();

    QGroupBox *grpExportIQ;
    QLabel *lnlFileName;
    ExchangeFileBox *edtFile;
    QLabel *lblExportOption;
    QRadioButton *radAll;
    QRadioButton *radSelected;
    int FEnquiryID = 0;
};

// Shows the export dialog for the IQ with this id; true when it was closed with Export.
bool DoEasyEnquiryExport(int EnquiryID);
