#include "exchange/ImportOutcome.h"

QString ImportOutcome::CountLine() const
{
    return QStringLiteral("Import %1 records. Accept %2 records.").arg(read).arg(accepted);
}

QString ImportOutcome::Message() const
{
    if (Failed())
        return QStringLiteral("IQ Import Error when save record!\rReason: %1").arg(error);
    if (rejections.isEmpty())
        return CountLine();
    return CountLine() + QStringLiteral("\rPlease refer to Message Log Viewer for details!");
}
