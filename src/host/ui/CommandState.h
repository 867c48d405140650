#pragma once

#include <QString>
#include <QVariant>

// Enables a command (an action or a button), or greys it and says why in its tooltip, under the
// command's own hint: a greyed command that does not say why looks broken.
template <typename Command>
void SetCommandState(Command *command, bool enabled, const QString &reason = {})
{
    // The hint is kept the first time: the tooltip changes with the state.
    if (!command->property("hint").isValid())
        command->setProperty("hint", command->toolTip());
    const QString hint = command->property("hint").toString();
    command->setEnabled(enabled);
    if (enabled || reason.isEmpty())
        command->setToolTip(hint);
    else
        command->setToolTip(hint.isEmpty() ? reason : hint + QLatin1Char('\n') + reason);
}
