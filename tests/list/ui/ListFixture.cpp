#include "ListFixture.h"

#include "list/ui/TfrmIPEasyEnquiry.h"
#include "package/PackageWindows.h"
#include "run/EnquiryWindows.h"
#include "store/StoreProcedures.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QPointer>

#include <vector>

void ListFixture::SetUp()
{
    db.addDemoData(6, 1);
    RegisterStoreProcedures();
    InstallEnquiryWindows();
    IQWindows().editor = [this, editor = IQWindows().editor](int id, bool copy, bool editable) {
        editorCalls.push_back({ id, copy, editable });
        editor(id, copy, editable);
    };
    db.signIn("admin");
}

void ListFixture::TearDown()
{
    // Guarded: a list may take its result windows with it.
    std::vector<QPointer<QWidget>> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("TfrmIPEasyEnquiry") || widget->inherits("TfrmIPEasyEnquiryView"))
            windows.emplace_back(widget);
    }
    for (const QPointer<QWidget> &window : windows)
        delete window.data();
    deliverPostedMessages();
    InstallEnquiryWindows();
}

int ListFixture::insertEnquiry(
    const QString &code, const QString &description, std::initializer_list<TestParam> params)
{
    const int id = db.insertEnquiry(
        code, "SELECT cCode, cPayerName FROM _iptblPayerGroups", description, params);
    db.insertColumns(id, { { "cCode", true } });
    return id;
}

TfrmIPEasyEnquiry *ListFixture::openList()
{
    auto *list = new TfrmIPEasyEnquiry(nullptr);
    list->show();
    return list;
}

QAction *ListFixture::command(TfrmIPEasyEnquiry *list, const char *name)
{
    QAction *action = list->findChild<QAction *>(QString::fromLatin1(name));
    EXPECT_NE(action, nullptr) << name;
    return action;
}

TqryIPEasyEnquiry *ListFixture::query(TfrmIPEasyEnquiry *list)
{
    return list->findChild<TqryIPEasyEnquiry *>(QStringLiteral("qryEasyEnquiry"));
}

bool ListFixture::focus(TfrmIPEasyEnquiry *list, const QString &code)
{
    return query(list)->Locate(QStringLiteral("cCode"), code);
}

QString ListFixture::focusedCode(TfrmIPEasyEnquiry *list)
{
    return list->HasFocusedRecord() ? query(list)->GetCode() : QString();
}

int ListFixture::windows(const char *className)
{
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets())
        count += widget->inherits(className);
    return count;
}

void ListFixture::deliverPostedMessages()
{
    QCoreApplication::sendPostedEvents();
}
