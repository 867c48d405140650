#include "ListFixture.h"

#include "host/core/Agent.h"
#include "host/core/HostContext.h"
#include "host/core/RegIni.h"
#include "list/ui/TfrmIPEasyEnquiry.h"
#include "package/PackageWindows.h"
#include "run/EnquiryWindows.h"
#include "store/DemoData.h"
#include "store/SqlHelpers.h"
#include "store/StoreProcedures.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QPointer>

#include <vector>

namespace {
std::vector<QPointer<TfrmIPEasyEnquiry>> &OpenedLists()
{
    static std::vector<QPointer<TfrmIPEasyEnquiry>> lists;
    return lists;
}
}

void ListFixture::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    QString error;
    db = OpenHostDatabases(dir.filePath("payroll.db"), dir.filePath("common.db"), true, error);
    ASSERT_TRUE(db) << error.toStdString();
    DemoOptions options;
    options.employees = 6;
    options.payslipsPerEmployee = 1;
    options.fastPasswordHashing = true;
    ASSERT_TRUE(CreateDemoData(*db->payroll, *db->common, options, error)) << error.toStdString();
    SetHostConnections(db->payroll.get(), db->common.get());
    RegisterStoreProcedures();
    InstallEnquiryWindows();
    IQWindows().editor = [this, editor = IQWindows().editor](int id, bool copy, bool editable) {
        editorCalls.push_back({ id, copy, editable });
        editor(id, copy, editable);
    };
    RegIni::SetFolder(dir.filePath("settings"));
    signInAs(true, {});
}

void ListFixture::TearDown()
{
    for (const QPointer<TfrmIPEasyEnquiry> &list : OpenedLists())
        delete list.data();
    OpenedLists().clear();
    closeResultWindows();
    deliverPostedMessages();
    SignOut();
    SetHostConnections(nullptr, nullptr);
    RegIni::SetFolder(QString());
    InstallEnquiryWindows();
}

int ListFixture::insertEnquiry(
    const QString &code, const QString &description, std::initializer_list<Param> params)
{
    DbError error;
    EXPECT_TRUE(db->payroll->run(
        "INSERT INTO _iptblEasyEnquiry (cCode, cDescription, cSQLStatement, bCommonDB, iIQTypeID) "
        "VALUES (?, ?, 'SELECT cCode, cPayerName FROM _iptblPayerGroups', 0, 1)",
        { code.toStdString(), description.toStdString() }, error))
        << error.text;
    const auto id = QueryInt(*db->payroll,
        "SELECT idEnquiry FROM _iptblEasyEnquiry WHERE cCode = ?", { code.toStdString() }, error);
    const int enquiryId = int(id.value_or(0));
    for (const Param &param : params) {
        EXPECT_TRUE(db->payroll->run(
            "INSERT INTO _iptblEasyEnquiryParam (iEnquiryID, cDescription, iSQLTypeID, cValue) "
            "VALUES (?, ?, ?, ?)",
            { std::int64_t(enquiryId), std::string(param.name), std::int64_t(param.type),
                std::string(param.value) },
            error))
            << error.text;
    }
    EXPECT_TRUE(db->payroll->run(
        "INSERT INTO _iptblEasyEnquiryColumn (iEnquiryID, cColumnName, bShow, iOrder) "
        "VALUES (?, 'cCode', 1, 1)",
        { std::int64_t(enquiryId) }, error))
        << error.text;
    return enquiryId;
}

int ListFixture::countRows(const QString &sql)
{
    DbError error;
    const auto value = QueryInt(*db->payroll, sql.toStdString(), {}, error);
    EXPECT_TRUE(value) << error.text;
    return int(value.value_or(-1));
}

void ListFixture::execute(const char *sql)
{
    DbError error;
    EXPECT_TRUE(db->payroll->run(sql, {}, error)) << error.text;
}

void ListFixture::signInAs(bool administrator, std::initializer_list<int> functions)
{
    TAgent agent;
    agent.idAgents = administrator ? 1 : 3;
    agent.cAgentName = administrator ? QStringLiteral("admin") : QStringLiteral("viewer");
    agent.bAdministrator = administrator;
    agent.bAllPayrollCompanies = agent.bAllPayFrequencies = agent.bAllLocations = true;
    for (int function : functions)
        agent.functions.insert(function);
    SetCurrentAgentForTesting(agent);
}

TfrmIPEasyEnquiry *ListFixture::openList()
{
    auto *list = new TfrmIPEasyEnquiry(nullptr);
    list->show();
    OpenedLists().emplace_back(list);
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

namespace {
int countTopLevel(const char *className, bool visibleOnly)
{
    int count = 0;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->inherits(className) && (widget->isVisible() || !visibleOnly))
            ++count;
    }
    return count;
}
}

int ListFixture::openResultWindows()
{
    return countTopLevel("TfrmIPEasyEnquiryView", true);
}

int ListFixture::openLists()
{
    return countTopLevel("TfrmIPEasyEnquiry", false);
}

void ListFixture::closeResultWindows()
{
    std::vector<QPointer<QWidget>> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("TfrmIPEasyEnquiryView"))
            windows.emplace_back(widget);
    }
    for (const QPointer<QWidget> &window : windows)
        delete window.data();
}

void ListFixture::deliverPostedMessages()
{
    QCoreApplication::sendPostedEvents();
}
