#include "package/PackageWindows.h"

#include "list/EditorEntry.h"
#include "list/TfrmIPEasyEnquiry.h"

void OpenEnquiryList(bool modal, qint64 selectedList)
{
    DoIPEasyEnquiry(modal, selectedList, false);
}

void OpenEnquiryEditor(int enquiryId, bool copy)
{
    DoIPEasyEnquiryAdd(enquiryId, copy, true);
}

const QMetaObject *EnquiryListClass()
{
    return &TfrmIPEasyEnquiry::staticMetaObject;
}
