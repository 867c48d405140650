#pragma once

#include "host/ui/TfrmQuillonDlgBase.h"

// A host dialog with its own settings section: its position is restored when first shown and
// saved when it closes.
class TfrmQuillonDlg : public TfrmQuillonDlgBase
{
    Q_OBJECT
public:
    explicit TfrmQuillonDlg(QWidget *parent = nullptr);
    ~TfrmQuillonDlg() override;
};
