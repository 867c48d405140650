#pragma once

#include <QString>

// The agent rights (function ids in _rtblAgentFunctions) that IQs need.
inline constexpr int kFunctionEasyEnquiry = 2601; // the IQ list, and running IQs
inline constexpr int kFunctionEasyEnquiryExchange = 2602; // export and import

// True when the signed-in agent has the right; otherwise `refusal` is the text to show.
bool MayUseFunction(int functionId, QString &refusal);
