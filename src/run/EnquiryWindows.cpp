#include "run/EnquiryWindows.h"

EnquiryWindows &IQWindows()
{
    static EnquiryWindows windows;
    return windows;
}

void OpenEnquiryList(bool modal, qint64 selectedList)
{
    if (const auto &open = IQWindows().list)
        open(modal, selectedList);
}

void OpenEnquiryEditor(int enquiryId, bool copy, bool editable)
{
    if (const auto &open = IQWindows().editor)
        open(enquiryId, copy, editable);
}

bool OpenEnquiryParameters(
    int enquiryId, TQuillonTempTable *&params, const QString &title, bool editable)
{
    const auto &open = IQWindows().parameters;
    return open && open(enquiryId, params, title, editable);
}

void OpenEnquiryResult(int enquiryId)
{
    if (const auto &open = IQWindows().result)
        open(enquiryId);
}

void OpenEnquiryChart(
    int enquiryId, const QString &query, const QString &filter, const QString &columnList)
{
    if (const auto &open = IQWindows().chart)
        open(enquiryId, query, filter, columnList);
}

bool OpenEnquiryExport(int enquiryId)
{
    const auto &open = IQWindows().exportEnquiry;
    return open && open(enquiryId);
}

bool OpenEnquiryImport(int &enquiryId)
{
    const auto &open = IQWindows().importEnquiries;
    return open && open(enquiryId);
}
