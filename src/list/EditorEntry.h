#pragma once

// The IQ editor's entry point. The editor window is not part of the program yet: this stand-in
// says so and remembers how it was called, so the list's commands can be checked.
void DoIPEasyEnquiryAdd(int EnquiryID, bool DoCopyRecord, bool IsEditable);

struct EditorCall
{
    int enquiryId = -1;
    bool copy = false;
    bool editable = false;
    int count = 0; // calls since the program started
};
EditorCall LastEditorCall();
