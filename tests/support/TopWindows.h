#pragma once

#include "Click.h"

#include <QApplication>
#include <QCheckBox>
#include <QList>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>

// Runs `open` and returns the window of type W it showed; fails the test when none opened.
template <class W> W *OpenedWindow(const std::function<void()> &open)
{
    QList<QPointer<QWidget>> before;
    for (QWidget *widget : QApplication::topLevelWidgets())
        before << widget;
    open();
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<W *>(widget);
        if (window && !before.contains(widget))
            return window;
    }
    ADD_FAILURE() << "no " << W::staticMetaObject.className() << " opened";
    return nullptr;
}

// Closes every shown window of these classes, so that none outlives its test's databases.
inline void CloseWindows(std::initializer_list<const char *> classNames)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        for (const char *name : classNames) {
            if (widget->inherits(name) && widget->isVisible())
                widget->close();
        }
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Closes a result or chart window with its "Default" box as given, as a person would.
inline void CloseWithDefault(QWidget &window, bool ticked)
{
    auto *box = window.findChild<QCheckBox *>("chkDefault");
    ASSERT_TRUE(box);
    box->setChecked(ticked);
    Click(window, "btnClose");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
