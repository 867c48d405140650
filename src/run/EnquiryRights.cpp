#include "run/EnquiryRights.h"

#include "host/core/Agent.h"

bool MayUseFunction(int functionId, QString &refusal)
{
    if (hasAccessToFunction(functionId))
        return true;
    const QString what = functionId == kFunctionEasyEnquiryExchange
        ? QStringLiteral("export or import IQs")
        : QStringLiteral("use the IQ list");
    const TAgent *agent = CurrentAgent();
    refusal = agent ? QStringLiteral("The agent \"%1\" may not %2 (right %3).")
                          .arg(agent->AgentName(), what)
                          .arg(functionId)
                    : QStringLiteral("Nobody is signed in.");
    return false;
}
