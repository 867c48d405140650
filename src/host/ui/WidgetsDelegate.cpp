#include "host/ui/WidgetsDelegate.h"

#include "host/core/Progress.h"
#include "host/ui/ModalDialogs.h"
#include "host/ui/TfrmProgress.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>

static_assert(int(kAnswerOK) == int(QMessageBox::Ok) && int(kAnswerYes) == int(QMessageBox::Yes)
    && int(kAnswerNo) == int(QMessageBox::No) && int(kAnswerCancel) == int(QMessageBox::Cancel));

namespace {

QMessageBox::StandardButtons ToStandardButtons(MsgButtons buttons)
{
    switch (buttons) {
    case MsgButtons::OK:
        return QMessageBox::Ok;
    case MsgButtons::OKCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon ToIcon(MsgKind kind)
{
    switch (kind) {
    case MsgKind::Info:
        return QMessageBox::Information;
    case MsgKind::Error:
        return QMessageBox::Critical;
    case MsgKind::Confirm:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

WidgetsDelegate::WidgetsDelegate() = default;

WidgetsDelegate::~WidgetsDelegate()
{
    delete m_progress;
    showBusy(0);
}

int WidgetsDelegate::askPerson(MsgKind kind, const QString &text, MsgButtons buttons)
{
    QMessageBox box(ToIcon(kind), QStringLiteral("Corvane"), text, ToStandardButtons(buttons),
        ActiveHostWindow());
    return box.exec();
}

int WidgetsDelegate::runModal(QDialog &dialog)
{
    return dialog.exec();
}

void WidgetsDelegate::showBusy(int depth)
{
    for (; m_cursorDepth < depth; ++m_cursorDepth)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    for (; m_cursorDepth > depth; --m_cursorDepth)
        QGuiApplication::restoreOverrideCursor();
}

void WidgetsDelegate::showProgress(const ProgressState &state)
{
    if (!state.visible) {
        delete m_progress; // made again on the next show; nothing lingers after the work
        return;
    }
    if (!m_progress)
        m_progress = new TfrmProgress(nullptr);
    m_progress->ShowState(state);
}

void WidgetsDelegate::paintProgress()
{
    if (!m_progress)
        return;
    m_progress->repaint();
    // The screen stays alive while the work runs: windows repaint (a dialog just closed leaves
    // no ghost) and the progress window moves. The person's input reaches only the progress
    // window, and only while it is modal, that is while it has a Cancel.
    QCoreApplication::processEvents(m_progress->windowModality() != Qt::NonModal
            ? QEventLoop::AllEvents
            : QEventLoop::ExcludeUserInputEvents);
}

QDialog *WidgetsDelegate::progressWindow() const
{
    return m_progress;
}
