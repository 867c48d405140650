#pragma once

#include <QMainWindow>

class HostSession;
class TQuillonPackageInterface;
class TfrmGroupManager;

// The host's main window: the package's group-manager page in the middle, the host's own
// windows in the menus. Closing it (Exit, Sign Out, the close box) closes every host window
// first and ends the event loop; after Sign Out the program asks for an agent again.
class TfrmCorvaneMain final : public QMainWindow
{
    Q_OBJECT
public:
    TfrmCorvaneMain(
        HostSession &session, TQuillonPackageInterface &package, QWidget *parent = nullptr);

    bool SignOutRequested() const { return m_signOut; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void BuildMenus();
    void BuildPage();
    void OpenObject(const QString &className);
    void SignOutClick();

    HostSession &m_session;
    TQuillonPackageInterface &m_package;
    TfrmGroupManager *m_page = nullptr;
    bool m_signOut = false;
};
