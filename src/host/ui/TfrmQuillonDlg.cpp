#include "host/ui/TfrmQuillonDlg.h"

TfrmQuillonDlg::TfrmQuillonDlg(QWidget *parent)
    : TfrmQuillonDlgBase(parent)
{
    SetKeepsPosition(true);
}

TfrmQuillonDlg::~TfrmQuillonDlg() = default;
