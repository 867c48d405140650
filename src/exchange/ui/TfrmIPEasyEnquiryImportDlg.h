#pragma once

#include "host/ui/TfrmQuillonDlg.h"

class ExchangeFileBox;
class QGroupBox;
class QLabel;

// Imports every record of a simple XML db file when closed with Import.
class TfrmIPEasyEnquiryImportDlg final : public TfrmQuillonDlg
{
    Q_OBJECT
public:
    explicit TfrmIPEasyEnquiryImportDlg(QWidget *parent);
    int GetCurrentHelpContext() const override { return 180070; }
    int LastImportedID() const { return FLastImportedID; }

protected:
    bool CanClose() override; // FormCloseQuery for the Import button

private:
    QGroupBox *grpImportIQ;
    QLabel *lnlFileName;
    ExchangeFileBox *edtFile;
    int FLastImportedID = 0;
};

// Shows the import dialog; when it was closed with Import, `EnquiryID` is the id of the last IQ
// imported (0 when none) and the result is true.
bool DoEasyEnquiryImport(int &EnquiryID);
