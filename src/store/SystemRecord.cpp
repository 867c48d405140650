#include "store/SystemRecord.h"

#include <QString>

bool IsReserved(const QString &code)
{
    return code.left(2).toUpper() == QLatin1String("IQ");
}
