#pragma once

// The export and import dialogs' entry points. The dialogs are not part of the program yet:
// they say so and confirm nothing.
bool DoEasyEnquiryExport(int EnquiryID);
// On success `EnquiryID` is the id of the last IQ imported (0 when none).
bool DoEasyEnquiryImport(int &EnquiryID);
