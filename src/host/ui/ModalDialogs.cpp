#include "host/ui/ModalDialogs.h"

#include "host/core/UiDelegate.h"
#include "host/ui/HostWindow.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>

#include <vector>

namespace {
// Dialogs currently inside ExecModal, innermost last.
std::vector<QPointer<QDialog>> &ModalStack()
{
    static std::vector<QPointer<QDialog>> stack;
    return stack;
}
}

int ExecModal(QDialog &dialog)
{
    ModalStack().emplace_back(&dialog);
    const int result = CurrentUiDelegate().runModal(dialog);
    ModalStack().pop_back();
    return result;
}

QWidget *ActiveHostWindow()
{
    auto &stack = ModalStack();
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (*it)
            return it->data();
    }
    if (QWidget *active = QApplication::activeWindow())
        return active;
    return HostWindow::LastOpenedWindow();
}
