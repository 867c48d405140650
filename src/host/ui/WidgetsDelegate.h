#pragma once

#include "host/core/UiDelegate.h"

#include <QPointer>

class TfrmProgress;

// A person at the screen: message boxes, modal dialogs, the busy cursor and the progress window.
class WidgetsDelegate final : public UiDelegate
{
public:
    WidgetsDelegate();
    ~WidgetsDelegate() override;
    WidgetsDelegate(const WidgetsDelegate &) = delete;
    WidgetsDelegate &operator=(const WidgetsDelegate &) = delete;

    int askPerson(MsgKind kind, const QString &text, MsgButtons buttons) override;
    int runModal(QDialog &dialog) override;
    void showBusy(int depth) override;
    void showProgress(const ProgressState &state) override;
    void paintProgress() override;
    QDialog *progressWindow() const; // nullptr while none is shown

private:
    QPointer<TfrmProgress> m_progress;
    int m_cursorDepth = 0; // override cursors this delegate has set
};
