#pragma once

struct QMetaObject;

// Fills the window table (run/EnquiryWindows.h) with the package's windows; the package's
// start-up calls it, and so may a test that wants the real windows.
void InstallEnquiryWindows();
const QMetaObject *EnquiryListClass(); // the IQ list's class, for the host's object entry
