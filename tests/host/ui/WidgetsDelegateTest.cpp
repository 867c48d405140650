#include "PrintQt.h"

#include "host/core/Cursor.h"
#include "host/core/Progress.h"
#include "host/ui/WidgetsDelegate.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

QWidget *ProgressWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == "frmProgress")
            return widget;
    }
    return nullptr;
}

TEST(CursorTest, StackUnwindsLevelByLevelOrAllAtOnce)
{
    WidgetsDelegate person;
    ScopedUiDelegate answers(person);
    PopCursor(); // empty: nothing happens
    EXPECT_EQ(CursorDepth(), 0);
    PushCursor();
    PushCursor();
    EXPECT_EQ(CursorDepth(), 2);
    ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    PopCursor();
    EXPECT_EQ(CursorDepth(), 1);
    EXPECT_NE(QGuiApplication::overrideCursor(), nullptr);
    PushCursor();
    PopCursor(true);
    EXPECT_EQ(CursorDepth(), 0);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    PopCursor(true);
    EXPECT_EQ(CursorDepth(), 0);
}

TEST(ProgressTest, OneWindowFollowsShowIncrementAndHide)
{
    WidgetsDelegate person;
    ScopedUiDelegate answers(person);
    ShowProgressDlg("Retrieving Data. Please wait...", "IQ View", 999, false, true);
    QWidget *window = ProgressWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "IQ View");

    ShowProgressDlg("Preparing Data. Please wait...", "IQ View", 3, false, false);
    EXPECT_EQ(ProgressWindow(), window); // the same window, not a second one
    IncProgressDlg(1, 0, "");
    IncProgressDlg(1, 0, "");
    ProgressState state = CurrentProgress();
    EXPECT_TRUE(state.visible);
    EXPECT_EQ(state.message, "Preparing Data. Please wait...");
    EXPECT_EQ(state.maximum, 3);
    EXPECT_EQ(state.position, 2);
    IncProgressDlg(5, 0, "Almost done");
    EXPECT_EQ(CurrentProgress().position, 3); // never past the maximum
    EXPECT_EQ(CurrentProgress().message, "Almost done");
    IncProgressDlg(0, 1, "");
    EXPECT_EQ(CurrentProgress().position, 1);

    HideProgressDlg();
    EXPECT_FALSE(CurrentProgress().visible);
    EXPECT_EQ(ProgressWindow(), nullptr);
    IncProgressDlg(1, 0, "after hide"); // ignored
    EXPECT_EQ(ProgressWindow(), nullptr);
    EXPECT_EQ(CurrentProgress().message, "Almost done");
}

} // namespace
