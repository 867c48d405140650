#pragma once

#include "host/core/UiDelegate.h"
#include "host/ui/WidgetsDelegate.h"

#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

class QDialog;

// Stands in for the person while it exists: answers messages from a queue and drives modal
// dialogs with scripted callbacks. Constructing one installs it as the UI delegate; destroying it
// installs the previous one again. The busy cursor and progress window stay real windows.
class HostScript final : public UiDelegate
{
public:
    struct MessageRecord
    {
        MsgKind kind;
        QString text;
        MsgButtons buttons;
        QMessageBox::StandardButton answer;
        bool defaulted; // nothing was queued: OK for OK boxes, No for questions
    };
    struct ModalRecord
    {
        QString className;
        QString objectName;
        bool scripted;
        int result;
    };
    using ModalScript = std::function<void(QDialog &)>;

    HostScript();
    ~HostScript() override;
    HostScript(const HostScript &) = delete;
    HostScript &operator=(const HostScript &) = delete;

    // The answer to the next message, whatever its kind.
    void answer(QMessageBox::StandardButton button);
    // The next dialog whose class name or object name is `name` is shown (not modally) and
    // handed to `script`; still open afterwards, it is rejected. Each entry is used once.
    void onModal(const QString &name, ModalScript script);

    // The next time long work repaints the progress window, `script` gets the window (to press
    // its Cancel, say). Each entry is used once.
    void onProgress(std::function<void(QDialog &)> script);
    int pendingProgress() const { return int(m_progressScripts.size()); }

    QStringList takeMessages(); // texts shown since the last call
    const std::vector<MessageRecord> &messageLog() const { return m_messages; }
    const std::vector<ModalRecord> &modalLog() const { return m_modals; }
    QStringList unscriptedDialogs() const; // class names of dialogs rejected without a script
    int pendingAnswers() const { return int(m_answers.size()); }
    int pendingModals() const { return int(m_modalScripts.size()); }

    int askPerson(MsgKind kind, const QString &text, MsgButtons buttons) override;
    int runModal(QDialog &dialog) override;
    void showBusy(int depth) override { m_screen.showBusy(depth); }
    void showProgress(const ProgressState &state) override { m_screen.showProgress(state); }
    void paintProgress() override;

private:
    struct PendingModal
    {
        QString name;
        ModalScript script;
    };

    UiDelegate *m_previous = nullptr;
    WidgetsDelegate m_screen;
    std::deque<QMessageBox::StandardButton> m_answers;
    std::deque<PendingModal> m_modalScripts;
    std::deque<std::function<void(QDialog &)>> m_progressScripts;
    std::vector<MessageRecord> m_messages;
    std::vector<ModalRecord> m_modals;
    std::size_t m_taken = 0;
};
