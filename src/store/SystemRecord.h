#pragma once

class QString;

// An IQ whose code begins with "IQ" in any letter case is a system record: users may run and
// copy it but not create, change or delete it. Codes shorter than two characters never are.
bool IsReserved(const QString &code);
