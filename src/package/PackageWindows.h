#pragma once

#include <QtGlobal>

struct QMetaObject;

// Where the package's host messages lead. Each opens one window through its Do... function, or
// says that the window is not available yet.
void OpenEnquiryList(bool modal, qint64 selectedList);
void OpenEnquiryEditor(int enquiryId, bool copy);
const QMetaObject *EnquiryListClass(); // the IQ list's class, for the host's object entry
