#include "store/Schema.h"

// The agents' credentials: a file of its own that no connection running IQs opens. Agents
// themselves (names, flags, rights) stay in the payroll database; iAgentID is their idAgents.

namespace {

const char *const kVersion1 = R"sql(
CREATE TABLE _rtblAgentCredentials (
    iAgentID INTEGER PRIMARY KEY,
    cPasswordHash VARCHAR(200) NOT NULL
);
)sql";

const SchemaStep kSteps[] = {
    { 1, kVersion1 },
};

} // namespace

std::span<const SchemaStep> CredentialsSchemaSteps()
{
    return kSteps;
}
