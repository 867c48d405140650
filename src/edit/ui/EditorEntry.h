#pragma once

// The IQ editor's entry point. The editor window is not part of the program yet: it says so.
void DoIPEasyEnquiryAdd(int EnquiryID, bool DoCopyRecord, bool IsEditable);
