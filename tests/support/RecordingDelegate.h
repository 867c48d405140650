#pragma once

#include "host/core/UiDelegate.h"

#include <QStringList>

// Stands in for the person in tests of code below the windows: keeps every message it is shown
// and presses OK.
class RecordingDelegate final : public UiDelegate
{
public:
    QStringList messages;
    int askPerson(MsgKind, const QString &text, MsgButtons) override
    {
        messages << text;
        return kAnswerOK;
    }
    int runModal(QDialog &) override { return 0; }
    void showBusy(int) override { }
    void showProgress(const ProgressState &) override { }
    void paintProgress() override { }
};
