#pragma once

#include <QString>

// The agent data-security filters. Each replaces every occurrence of its token (upper case only,
// anywhere in the text, string literals and comments included) by a sub-select: what the
// current agent may see when the agent is limited in that respect, every key otherwise.
// The agent is read at each call.
void ValidateAgentPayrollCompanyChecking(QString &sql); // CHECKAGENTPAYROLLCOMPANYSECURITY
void ValidateAgentPaymentFrequencyChecking(QString &sql); // CHECKAGENTPAYFREQUENCYSECURITY
void ValidateAgentLocationChecking(QString &sql); // CHECKAGENTLOCATIONSECURITY

// All three, in the order every caller uses: payroll company, pay frequency, location.
void ApplyAgentFilters(QString &sql);
