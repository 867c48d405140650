#include "host/ui/HostWindow.h"

#include "host/core/Help.h"
#include "host/core/HostMessageEvent.h"
#include "host/core/RegIni.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>

#include <algorithm>
#include <vector>

namespace {
// Open host windows, oldest first.
std::vector<HostWindow *> &OpenWindows()
{
    static std::vector<HostWindow *> windows;
    return windows;
}

const QString kLeft = QStringLiteral("Left");
const QString kTop = QStringLiteral("Top");
const QString kWidth = QStringLiteral("Width");
const QString kHeight = QStringLiteral("Height");
const QString kMaximized = QStringLiteral("Maximized");
}

HostWindow::HostWindow(QWidget *self)
    : m_self(self)
{
    OpenWindows().push_back(this);
}

HostWindow::~HostWindow()
{
    auto &windows = OpenWindows();
    windows.erase(std::remove(windows.begin(), windows.end(), this), windows.end());
}

void HostWindow::HostMessage(int, qint64, qint64) { }

QString HostWindow::RegistryName() const
{
    if (!m_registryName.isEmpty() || !m_self)
        return m_registryName;
    QString name = QString::fromLatin1(m_self->metaObject()->className());
    if (name.startsWith(QLatin1Char('T')))
        name.remove(0, 1);
    return name;
}

QString HostWindow::QuillonRegName() const
{
    const QString version = RegistryVersion();
    return version.isEmpty() ? RegistryName() : RegistryName() + QLatin1Char('_') + version;
}

// Left, Top, Width and Height are the client area's: the frame is not known before the window
// shows, and a frame position restored as a client position moves the window by its title bar
// at every round.
void HostWindow::RestoreFormPos()
{
    m_positionRestored = true;
    if (!m_self)
        return;
    const QString section = QuillonRegName();
    QRect wanted = m_self->geometry();
    const bool saved = !m_resetRegistry && RegIni::ValueExists(section, kWidth);
    if (saved) {
        const int width = RegIni::ReadInteger(section, kWidth, 0);
        const int height = RegIni::ReadInteger(section, kHeight, 0);
        if (width > 0 && height > 0)
            wanted.setSize(QSize(width, height));
        wanted.moveTopLeft(QPoint(RegIni::ReadInteger(section, kLeft, wanted.x()),
            RegIni::ReadInteger(section, kTop, wanted.y())));
    }
    const QRect placed = OnScreen(wanted);
    if (!saved) {
        // The first time the window manager places it; it only has to fit.
        m_self->resize(placed.size());
        return;
    }
    m_self->setGeometry(placed);
    if (RegIni::ReadBool(section, kMaximized, false))
        m_self->setWindowState(m_self->windowState() | Qt::WindowMaximized);
}

void HostWindow::SaveFormPos() const
{
    if (!m_self)
        return;
    const QString section = QuillonRegName();
    const QRect normal = m_self->isMaximized() ? m_self->normalGeometry() : m_self->geometry();
    RegIni::WriteInteger(section, kLeft, normal.x());
    RegIni::WriteInteger(section, kTop, normal.y());
    RegIni::WriteInteger(section, kWidth, normal.width());
    RegIni::WriteInteger(section, kHeight, normal.height());
    RegIni::WriteBool(section, kMaximized, m_self->isMaximized());
}

// The client area moved and shrunk so that it lies on the screen it was on (or on the primary
// screen when that one is gone) with room above it for the title bar, which must stay within
// reach. The frame is not known before the window shows: the style's title bar height stands in.
QRect HostWindow::OnScreen(const QRect &client) const
{
    QScreen *screen = QGuiApplication::screenAt(client.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen || !m_self)
        return client;
    QRect area = screen->availableGeometry();
    area.setTop(area.top() + m_self->style()->pixelMetric(QStyle::PM_TitleBarHeight));
    QRect placed(client.topLeft(), client.size().boundedTo(area.size()));
    placed.moveLeft(std::clamp(placed.left(), area.left(), area.right() - placed.width() + 1));
    placed.moveTop(std::clamp(placed.top(), area.top(), area.bottom() - placed.height() + 1));
    return placed;
}

QWidget *HostWindow::LastOpenedWindow()
{
    const auto &windows = OpenWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if ((*it)->m_self && (*it)->m_self->isVisible())
            return (*it)->m_self;
    }
    return nullptr;
}

int HostWindow::OpenWindowCount()
{
    return int(OpenWindows().size());
}

bool HostWindow::CloseAllWindows()
{
    // Guarded: closing one window may free others.
    std::vector<QPointer<QWidget>> windows;
    const auto &open = OpenWindows();
    for (auto it = open.rbegin(); it != open.rend(); ++it) {
        if ((*it)->m_self && (*it)->m_self->isWindow())
            windows.emplace_back((*it)->m_self);
    }
    bool closed = true;
    for (const QPointer<QWidget> &window : windows) {
        if (window && window->isVisible() && !window->close())
            closed = false;
    }
    return closed;
}

bool HostWindow::HandleHostEvent(QEvent *event)
{
    if (event->type() != HostMessageEvent::EventType())
        return false;
    const auto *message = static_cast<HostMessageEvent *>(event);
    HostMessage(message->message(), message->param1(), message->param2());
    return true;
}

bool HostWindow::HandleHelpKey(QKeyEvent *event)
{
    if (event->key() != Qt::Key_F1 || event->modifiers() != Qt::NoModifier)
        return false;
    ShowHelpContext(GetCurrentHelpContext());
    return true;
}

void HostWindow::HandleFirstShow()
{
    if (m_keepsPosition && !m_positionRestored)
        RestoreFormPos();
    FitCaption();
}

// A caption the window manager cannot show whole it cuts in the middle. The window widens
// (on both sides) to show it, as far as the screen allows; beyond that the caption is cut at
// its end. The title bar's font is the window manager's: the application's in bold stands in.
void HostWindow::FitCaption()
{
    if (!m_self || !m_self->isWindow() || m_self->windowTitle().isEmpty())
        return;
    const QString caption = m_self->windowTitle();
    QFont font = QApplication::font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    // Beside the caption: the window's icon and buttons, and the program's name that the
    // platform appends.
    const QString program = QGuiApplication::applicationDisplayName();
    const int beside = 140
        + (program.isEmpty() ? 0 : metrics.horizontalAdvance(QStringLiteral(" \u2014 ") + program));
    const int needed = metrics.horizontalAdvance(caption) + beside;
    const QRect current = m_self->geometry();
    if (needed <= current.width())
        return;
    const QRect wider = OnScreen(
        QRect(current.x() - (needed - current.width()) / 2, current.y(), needed, current.height()));
    m_self->setGeometry(wider);
    if (wider.width() < needed)
        m_self->setWindowTitle(metrics.elidedText(caption, Qt::ElideRight, wider.width() - beside));
}

void HostWindow::FormClosing()
{
    if (!m_keepsPosition)
        return;
    if (m_resetRegistry)
        RegIni::EraseSection(QuillonRegName());
    else if (m_saveSettings)
        SaveFormPos();
}
