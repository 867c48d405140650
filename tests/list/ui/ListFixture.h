#pragma once

#include "TestDatabases.h"

#include "host/ui/HostScript.h"

#include <QString>

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

class QAction;
class TfrmIPEasyEnquiry;
class TqryIPEasyEnquiry;

// Small demo databases, the demo's administrator signed in, and a script answering for the
// person.
class ListFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A new IQ with its parameter rows and one column row; returns its id.
    int insertEnquiry(const QString &code, const QString &description,
        std::initializer_list<TestParam> params = {});

    // A modeless list, closed and freed by TearDown.
    TfrmIPEasyEnquiry *openList();
    static QAction *command(TfrmIPEasyEnquiry *list, const char *name);
    static TqryIPEasyEnquiry *query(TfrmIPEasyEnquiry *list);
    // Focuses the row of the IQ with this code; false when the list does not hold it.
    static bool focus(TfrmIPEasyEnquiry *list, const QString &code);
    static QString focusedCode(TfrmIPEasyEnquiry *list);
    // Top-level windows of this class, shown or not.
    static int windows(const char *className);
    static void deliverPostedMessages();

    struct EditorCall
    {
        int enquiryId;
        bool copy;
        bool editable;
    };

    TestDatabases db;
    HostScript script;
    std::vector<EditorCall> editorCalls; // the editor's entry, as the list called it
};
