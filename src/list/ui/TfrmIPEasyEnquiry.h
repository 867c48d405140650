#pragma once

#include "host/ui/TfrmMaintenanceBase.h"

#include <memory>

class QAction;
class TQuillonADOQuery;
class TQuillonADOStoredProc;
class TqryIPEasyEnquiry;

// The IQ list: every IQ definition, with the commands to add, edit, copy, delete, attach notes,
// run ("Show"), export and import. Refreshes on the IQ change message.
class TfrmIPEasyEnquiry final : public TfrmMaintenanceBase
{
    Q_OBJECT
public:
    Q_INVOKABLE explicit TfrmIPEasyEnquiry(QWidget *parent = nullptr);
    ~TfrmIPEasyEnquiry() override;

    int GetCurrentHelpContext() const override { return 180010; }
    void HostMessage(int message, qint64 param1, qint64 param2) override;
    void EnableMenus() override;

protected:
    void mniMaintAddClick() override;
    void mniMaintEditClick() override;
    void mniMaintCopyClick() override;
    QString DeleteQuestion() const override;
    bool CheckBeforeDelete() override;
    bool DeleteRecord() override;

private:
    void mniGridShowClick();
    void mniExportClick();
    void mniImportClick();
    void vwMaintDblClick();
    void IPMEasyEnquiryChanged(qint64 enquiryId);
    QString SiblingKeyForDelete() const;

    TqryIPEasyEnquiry *qryEasyEnquiry;
    TQuillonADOQuery *qryParam;
    std::unique_ptr<TQuillonADOStoredProc> spDeleteRecord;
    QAction *mniGridShow;
    QAction *mniExport;
    QAction *mniImport;
};

// Opens the IQ list: modal (freed when it closes) or modeless. The third flag has no effect.
void DoIPEasyEnquiry(bool modal, qint64 selectedList, bool unused);
