#include "package/PackageWindows.h"

#include "chart/ui/TfrmIPEasyEnquiryChart.h"
#include "edit/ui/TfrmIPEasyEnquiryAddDlg.h"
#include "exchange/ui/TfrmIPEasyEnquiryExportDlg.h"
#include "exchange/ui/TfrmIPEasyEnquiryImportDlg.h"
#include "list/ui/TfrmIPEasyEnquiry.h"
#include "run/EnquiryWindows.h"
#include "run/ui/TfrmIPEasyEnquiryParamDlg.h"
#include "run/ui/TfrmIPEasyEnquiryView.h"

void InstallEnquiryWindows()
{
    EnquiryWindows &windows = IQWindows();
    windows.list
        = [](bool modal, qint64 selectedList) { DoIPEasyEnquiry(modal, selectedList, false); };
    windows.editor = DoIPEasyEnquiryAdd;
    windows.parameters = DoIPEasyEnquiryParam;
    windows.result = DoIPEasyEnquiryView;
    windows.chart = DoIPEasyEnquiryChart;
    windows.exportEnquiry = DoEasyEnquiryExport;
    windows.importEnquiries = DoEasyEnquiryImport;
}

const QMetaObject *EnquiryListClass()
{
    return &TfrmIPEasyEnquiry::staticMetaObject;
}
