#pragma once

// Host window messages used by the IQ change message.
inline constexpr int kMsgDeliverGlobalMessage = 5038; // to QuillonControl, param1 = record
inline constexpr int kMsgEasyEnquiryChanged = 9401; // to every open window, param1 = id
