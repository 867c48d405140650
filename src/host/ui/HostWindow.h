#pragma once

#include "host/core/HostMessageReceiver.h"

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

class QEvent;
class QKeyEvent;

// What every host window shares, whether a plain window or a dialog: it receives host messages
// (it is on the list of open windows from construction to destruction), answers F1 with its help
// context, and keeps its position in its own settings section.
class HostWindow : public HostMessageReceiver
{
public:
    explicit HostWindow(QWidget *self);
    ~HostWindow() override;

    // A host message delivered to this window (posted to it, or broadcast by QuillonControl).
    void HostMessage(int message, qint64 param1, qint64 param2) override;
    virtual int GetCurrentHelpContext() const { return 0; }

    // Settings section = registry name, then "_" and the version when there is one. The name
    // defaults to the class name without its leading "T" ("frmIPEasyEnquiryView").
    void SetRegistryName(const QString &name) { m_registryName = name; }
    QString RegistryName() const;
    virtual QString RegistryVersion() const { return {}; }
    QString QuillonRegName() const;

    // Set: the saved settings are erased at close and not restored.
    void SetResetRegistry(bool value) { m_resetRegistry = value; }
    bool ResetRegistry() const { return m_resetRegistry; }
    // Cleared: the position is not saved at close.
    void SetSaveSettings(bool value) { m_saveSettings = value; }
    bool SaveSettings() const { return m_saveSettings; }

    void RestoreFormPos();
    void SaveFormPos() const;

    static QWidget *LastOpenedWindow();
    static int OpenWindowCount();
    // Closes every open host window that is a window of its own, newest first; false when one
    // refused to close.
    static bool CloseAllWindows();

protected:
    bool HandleHostEvent(QEvent *event); // true when it was a host message
    bool HandleHelpKey(QKeyEvent *event);
    // Restores the position once, unless already done, and fits the caption.
    void HandleFirstShow();
    void FormClosing(); // erases or saves the section
    void SetKeepsPosition(bool value) { m_keepsPosition = value; }

private:
    QRect OnScreen(const QRect &client) const;
    void FitCaption();

    QPointer<QWidget> m_self;
    QString m_registryName;
    bool m_resetRegistry = false;
    bool m_saveSettings = true;
    bool m_keepsPosition = true;
    bool m_positionRestored = false;
};
