#pragma once

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

// Clicks the named push button inside `parent` with the mouse, as a person would; a button that
// is not there fails the test instead of crashing it.
inline void Click(QWidget &parent, const char *button)
{
    auto *found = parent.findChild<QPushButton *>(button);
    ASSERT_TRUE(found) << "no button " << button;
    QTest::mouseClick(found, Qt::LeftButton);
}
