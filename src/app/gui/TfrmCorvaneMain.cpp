#include "app/gui/TfrmCorvaneMain.h"

#include "app/common/HostSession.h"
#include "host/core/Agent.h"
#include "host/core/Messages.h"
#include "host/db/engine/NameFold.h"
#include "host/ui/TQuillonPackageInterface.h"
#include "host/ui/TfrmGroupManager.h"
#include "host/ui/TfrmMessageLogViewer.h"
#include "host/ui/TfrmSystemSettings.h"

#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>

// Host message that asks a package to open its IQ list (first parameter: modal flag).
constexpr int kOpenEnquiryListMessage = 9399;

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
    statusBar()->addPermanentWidget(
        new QLabel(QStringLiteral("Payroll: %1   Common: %2")
                       .arg(QFileInfo(session.PayrollPath()).fileName(),
                           QFileInfo(session.CommonPath()).fileName())));
    resize(760, 480);
}

void TfrmCorvaneMain::BuildMenus()
{
    QMenu *file = menuBar()->addMenu("&File");
    file->addAction("&Sign Out", this, [this] {
        m_signOut = true;
        close();
    });
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
    m_page->SetOpenHandler([this](const QString &className) { OpenObject(className); });
    setCentralWidget(m_page);
}

void TfrmCorvaneMain::OpenObject(const QString &className)
{
    if (!NameFold::same(className, QStringLiteral("TfrmIPEasyEnquiry")))
        return;
    bool handled = false;
    m_package.NonVisiblePkgMessage(kOpenEnquiryListMessage, 0, 0, handled);
}
