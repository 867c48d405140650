#include "app/gui/TfrmCorvaneMain.h"

#include "app/common/DatabaseLocation.h"
#include "app/common/HostSession.h"
#include "host/core/Agent.h"
#include "host/core/Messages.h"
#include "host/db/engine/NameFold.h"
#include "host/ui/HostWindow.h"
#include "host/ui/TQuillonPackageInterface.h"
#include "host/ui/TfrmGroupManager.h"
#include "host/ui/TfrmMessageLogViewer.h"
#include "host/ui/TfrmSystemSettings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

namespace {

// The objects the host opens from the page, by the message it sends the package (first
// parameter: modal flag), with what the entry's tooltip says it opens.
struct HostObject
{
    const char *className;
    int message;
    const char *hint;
};
const HostObject kHostObjects[] = {
    { "TfrmIPEasyEnquiry", 9399, "Opens the IQ list, where IQ reports are run, added and changed" },
};

const HostObject *FindHostObject(const QString &className)
{
    for (const HostObject &object : kHostObjects) {
        if (NameFold::same(className, QString::fromLatin1(object.className)))
            return &object;
    }
    return nullptr;
}

} // namespace

TfrmCorvaneMain::TfrmCorvaneMain(
    HostSession &session, TQuillonPackageInterface &package, QWidget *parent)
    : QMainWindow(parent)
    , m_session(session)
    , m_package(package)
{
    setObjectName("TfrmCorvaneMain");
    const TAgent *agent = CurrentAgent();
    setWindowTitle(
        QStringLiteral("Corvane Payroll - %1").arg(agent ? agent->AgentName() : QString()));
    BuildMenus();
    BuildPage();
    statusBar()->addWidget(
        new QLabel(QStringLiteral("Agent: %1").arg(agent ? agent->AgentName() : QString())));
    statusBar()->addPermanentWidget(new QLabel(QStringLiteral("Payroll: %1   Common: %2")
                                                   .arg(ShownDatabaseName(session.PayrollPath()),
                                                       ShownDatabaseName(session.CommonPath()))));
    resize(760, 480);
}

void TfrmCorvaneMain::BuildMenus()
{
    QMenu *file = menuBar()->addMenu("&File");
    file->addAction("&Sign Out", this, &TfrmCorvaneMain::SignOutClick);
    file->addSeparator();
    file->addAction("E&xit", QKeySequence::Quit, this, &QWidget::close);
    QMenu *tools = menuBar()->addMenu("&Tools");
    tools->addAction("Message &Log Viewer", this, [this] { DoMessageLogViewer(); });
    tools->addAction("System &Settings", this, [this] { DoSystemSettings(); });
    QMenu *help = menuBar()->addMenu("&Help");
    help->addAction("&About", this, [] {
        InfoMessage("Corvane Payroll\nIQ reports: qpCharts 1.0.0.0, Quillon Accounting Charts Run "
                    "Time Package");
    });
}

void TfrmCorvaneMain::BuildPage()
{
    // The package's first group-manager class is its page; the other entries are listed on it.
    for (const TObjectClassEntry &entry : m_package.ObjectClasses()) {
        if (!entry.classRef || !entry.classRef->inherits(&TfrmGroupManager::staticMetaObject))
            continue;
        QObject *created = entry.classRef->newInstance(Q_ARG(QWidget *, this));
        m_page = qobject_cast<TfrmGroupManager *>(created);
        if (m_page)
            break;
        delete created;
    }
    if (!m_page) {
        setCentralWidget(new QLabel("The package declares no group-manager page.", this));
        return;
    }
    m_page->LoadObjects(m_package);
    for (const HostObject &object : kHostObjects)
        m_page->SetObjectHint(QLatin1String(object.className), QLatin1String(object.hint));
    m_page->SetOpenHandler([this](const QString &className) { OpenObject(className); });
    setCentralWidget(m_page);
}

void TfrmCorvaneMain::OpenObject(const QString &className)
{
    const HostObject *object = FindHostObject(className);
    if (!object)
        return;
    bool handled = false;
    m_package.NonVisiblePkgMessage(object->message, 0, 0, handled);
}

void TfrmCorvaneMain::SignOutClick()
{
    m_signOut = true;
    if (!close())
        m_signOut = false;
}

// No window of the agent outlives the main window: one left open would go on working as the
// agent who signed out.
void TfrmCorvaneMain::closeEvent(QCloseEvent *event)
{
    if (!HostWindow::CloseAllWindows()) {
        event->ignore();
        return;
    }
    event->accept();
    QCoreApplication::quit();
}
