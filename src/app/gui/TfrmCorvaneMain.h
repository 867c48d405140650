#pragma once

#include <QMainWindow>

class HostSession;
class TQuillonPackageInterface;
class TfrmGroupManager;

// The host's main window: the package's group-manager page in the middle, the host's own
// windows in the menus.
class TfrmCorvaneMain final : public QMainWindow
{
    Q_OBJECT
public:
    TfrmCorvaneMain(
        HostSession &session, TQuillonPackageInterface &package, QWidget *parent = nullptr);

    bool SignOutRequested() const { return m_signOut; }

private:
    void BuildMenus();
    void BuildPage();
    void OpenObject(const QString &className);

    HostSession &m_session;
    TQuillonPackageInterface &m_package;
    TfrmGroupManager *m_page = nullptr;
    bool m_signOut = false;
};
