#pragma once

#include "host/core/Messages.h"

#include <QString>

class QDialog;
struct ProgressState;

// Everything that needs a person goes through the one installed delegate: the desktop program
// installs one with windows, the command-line program one for a terminal, tests a script. The
// work itself never asks whether anybody is there.
class UiDelegate
{
public:
    virtual ~UiDelegate() = default;

    // A message with buttons; returns the button pressed (a MsgAnswer value).
    virtual int askPerson(MsgKind kind, const QString &text, MsgButtons buttons) = 0;
    // Runs a dialog modally and returns its result (QDialog::Accepted or Rejected).
    virtual int runModal(QDialog &dialog) = 0;
    // The busy cursor: shown while `depth` is above 0.
    virtual void showBusy(int depth) = 0;
    // The progress window: shown (or updated) with `state`, hidden when `state.visible` is false.
    virtual void showProgress(const ProgressState &state) = 0;
    // Keeps the progress window painted while a statement runs.
    virtual void paintProgress() = 0;
};

// The installed delegate; before any is installed, the terminal one.
UiDelegate &CurrentUiDelegate();
// Installs `delegate` (not owned) until the returned previous one is installed again.
UiDelegate *InstallUiDelegate(UiDelegate *delegate);

// Nobody to ask: messages go to stderr, questions are declined (OK boxes answer OK), dialogs are
// rejected, and there is no cursor or progress window.
class TerminalDelegate final : public UiDelegate
{
public:
    int askPerson(MsgKind kind, const QString &text, MsgButtons buttons) override;
    int runModal(QDialog &dialog) override;
    void showBusy(int) override { }
    void showProgress(const ProgressState &) override { }
    void paintProgress() override { }
};

// Installs a delegate for the lifetime of the scope.
class ScopedUiDelegate
{
public:
    explicit ScopedUiDelegate(UiDelegate &delegate)
        : m_previous(InstallUiDelegate(&delegate))
    {
    }
    ~ScopedUiDelegate() { InstallUiDelegate(m_previous); }
    ScopedUiDelegate(const ScopedUiDelegate &) = delete;
    ScopedUiDelegate &operator=(const ScopedUiDelegate &) = delete;

private:
    UiDelegate *m_previous;
};
