#include "host/ui/HostScript.h"

#include <QDialog>
#include <QPointer>

#include <algorithm>

HostScript::HostScript()
    : m_previous(InstallUiDelegate(this))
{
}

HostScript::~HostScript()
{
    InstallUiDelegate(m_previous);
}

void HostScript::answer(QMessageBox::StandardButton button)
{
    m_answers.push_back(button);
}

void HostScript::onModal(const QString &name, ModalScript script)
{
    m_modalScripts.push_back({ name, std::move(script) });
}

void HostScript::onProgress(std::function<void(QDialog &)> script)
{
    m_progressScripts.push_back(std::move(script));
}

void HostScript::paintProgress()
{
    m_screen.paintProgress();
    QDialog *window = m_screen.progressWindow();
    if (!window || m_progressScripts.empty())
        return;
    const auto script = std::move(m_progressScripts.front());
    m_progressScripts.pop_front();
    script(*window);
}

QStringList HostScript::takeMessages()
{
    QStringList texts;
    for (; m_taken < m_messages.size(); ++m_taken)
        texts << m_messages[m_taken].text;
    return texts;
}

QStringList HostScript::unscriptedDialogs() const
{
    QStringList names;
    for (const ModalRecord &record : m_modals) {
        if (!record.scripted)
            names << record.className;
    }
    return names;
}

int HostScript::askPerson(MsgKind kind, const QString &text, MsgButtons buttons)
{
    MessageRecord record { kind, text, buttons, QMessageBox::NoButton, m_answers.empty() };
    if (record.defaulted) {
        const bool okBox = buttons == MsgButtons::OK || buttons == MsgButtons::OKCancel;
        record.answer = okBox ? QMessageBox::Ok : QMessageBox::No;
    } else {
        record.answer = m_answers.front();
        m_answers.pop_front();
    }
    m_messages.push_back(record);
    return record.answer;
}

int HostScript::runModal(QDialog &dialog)
{
    // Unqualified: scripts name the class as the code writes it, without its namespace.
    QString className = QString::fromLatin1(dialog.metaObject()->className());
    className = className.mid(className.lastIndexOf(QLatin1Char(':')) + 1);
    const QString objectName = dialog.objectName();
    auto entry = std::find_if(
        m_modalScripts.begin(), m_modalScripts.end(), [&](const PendingModal &pending) {
            return pending.name == className
                || (!objectName.isEmpty() && pending.name == objectName);
        });
    ModalRecord record { className, objectName, entry != m_modalScripts.end(), QDialog::Rejected };
    if (!record.scripted) {
        dialog.setResult(QDialog::Rejected);
        m_modals.push_back(record);
        return record.result;
    }
    // Taken off the queue first: the script may open nested dialogs with their own entries.
    ModalScript script = std::move(entry->script);
    m_modalScripts.erase(entry);

    QPointer<QDialog> guard(&dialog);
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    script(dialog);
    if (guard && dialog.isVisible())
        dialog.reject();
    record.result = guard ? dialog.result() : int(QDialog::Rejected);
    m_modals.push_back(record);
    return record.result;
}
