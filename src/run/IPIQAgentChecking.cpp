#include "run/IPIQAgentChecking.h"

#include "host/core/Agent.h"

namespace {

struct AgentView
{
    int id = 0;
    bool allPayrollCompanies = false;
    bool allPayFrequencies = false;
    bool allLocations = false;
};

// With nobody signed in, the safe side: a limited agent with id 0, who sees nothing.
AgentView CurrentAgentView()
{
    AgentView view;
    if (const TAgent *agent = CurrentAgent()) {
        view.id = agent->AgentID();
        view.allPayrollCompanies = agent->AllPayrollCompanies();
        view.allPayFrequencies = agent->AllPayFrequencies();
        view.allLocations = agent->AllLocations();
    }
    return view;
}

void ReplaceToken(QString &sql, QLatin1String token, bool unlimited, QLatin1String limitedText,
    QLatin1String unlimitedText, int agentId)
{
    if (!sql.contains(token, Qt::CaseSensitive))
        return;
    const QString replacement
        = unlimited ? QString(unlimitedText) : QString(limitedText).arg(agentId);
    sql.replace(token, replacement, Qt::CaseSensitive);
}

} // namespace

void ValidateAgentPayrollCompanyChecking(QString &sql)
{
    const AgentView agent = CurrentAgentView();
    ReplaceToken(sql, QLatin1String("CHECKAGENTPAYROLLCOMPANYSECURITY"), agent.allPayrollCompanies,
        QLatin1String(" select * from [dbo]._efnAgentPCSecurity(%1) "),
        QLatin1String(" select idPayer from _iptblPayerGroups "), agent.id);
}

void ValidateAgentPaymentFrequencyChecking(QString &sql)
{
    const AgentView agent = CurrentAgentView();
    ReplaceToken(sql, QLatin1String("CHECKAGENTPAYFREQUENCYSECURITY"), agent.allPayFrequencies,
        QLatin1String(" select distinct iPayFrequencyID from [dbo]._rtblAgentPayFrequencies where "
                      "iAgentID = %1 "),
        QLatin1String(" select distinct idPayFrequency from dbo._iptblPayFrequencies "), agent.id);
}

void ValidateAgentLocationChecking(QString &sql)
{
    const AgentView agent = CurrentAgentView();
    ReplaceToken(sql, QLatin1String("CHECKAGENTLOCATIONSECURITY"), agent.allLocations,
        QLatin1String(
            " select distinct iLocationID from dbo._rtblAgentLocations where iAgentID = %1 "),
        QLatin1String(" select idLocation from _iptblLocations "), agent.id);
}

void ApplyAgentFilters(QString &sql)
{
    ValidateAgentPayrollCompanyChecking(sql);
    ValidateAgentPaymentFrequencyChecking(sql);
    ValidateAgentLocationChecking(sql);
}
