#pragma once

// The IQ change message: after an IQ was added, changed, deleted or imported, every open IQ
// list refreshes (and, when it started the change, moves to `enquiryId`). Posted through the
// host's control window, so the lists refresh after the sending command has finished.
void PostEasyEnquiryChanged(int enquiryId);
