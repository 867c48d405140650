#include "test_view_fixture.h"

#include "host/core/Globals.h"
#include "host/core/RegIni.h"
#include "host/core/SqlExec.h"
#include "host/ui/TmxGrid.h"
#include "package/PackageWindows.h"
#include "run/EnquiryWindows.h"
#include "run/ui/TfrmIPEasyEnquiryView.h"
#include "store/DemoData.h"

#include <QApplication>
#include <QPointer>

void ViewTest::SetUp()
{
    RunFixture::SetUp();
    if (HasFatalFailure())
        return;
    DemoOptions options;
    options.employees = 30;
    options.payslipsPerEmployee = 2;
    options.fastPasswordHashing = true;
    QString error;
    ASSERT_TRUE(CreateDemoData(payroll(), common(), options, error)) << error.toStdString();
    RegIni::SetFolder(dir.filePath("settings"));
    objGeneralParameters.iHoursDisplay = 0;
    InstallEnquiryWindows();
    IQWindows().chart = [this, chart = IQWindows().chart](int id, const QString &query,
                            const QString &filter, const QString &columns) {
        chartRequests.push_back({ id, query, filter, columns });
        chart(id, query, filter, columns);
    };
}

void ViewTest::TearDown()
{
    closeAll();
    RegIni::SetFolder(QString());
    objGeneralParameters.iHoursDisplay = 0;
    InstallEnquiryWindows();
    RunFixture::TearDown();
}

int ViewTest::addEnquiry(
    const QString &code, const QString &sql, const std::vector<std::pair<QString, bool>> &columns)
{
    const int id = insertEnquiry(code, sql);
    int order = 0;
    for (const auto &[name, shown] : columns) {
        exec("INSERT INTO _iptblEasyEnquiryColumn (iEnquiryID, cColumnName, bShow, iOrder) "
             "VALUES (?, ?, ?, ?)",
            { std::int64_t(id), SqlExec::ToValue(name), std::int64_t(shown),
                std::int64_t(++order) });
    }
    return id;
}

TfrmIPEasyEnquiryView *ViewTest::run(int enquiryId)
{
    QList<QPointer<QWidget>> before;
    for (QWidget *widget : QApplication::topLevelWidgets())
        before << widget;
    DoIPEasyEnquiryView(enquiryId);
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *view = qobject_cast<TfrmIPEasyEnquiryView *>(widget);
        if (view && !before.contains(widget))
            return view;
    }
    ADD_FAILURE() << "no result window opened";
    return nullptr;
}

void ViewTest::closeAll()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *view = qobject_cast<TfrmIPEasyEnquiryView *>(widget); view && view->isVisible())
            view->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TmxGrid *ViewTest::grid(TfrmIPEasyEnquiryView *view)
{
    return view ? view->findChild<TmxGrid *>("grdQueryView") : nullptr;
}

QString ViewTest::layout(TfrmIPEasyEnquiryView *view)
{
    QStringList items;
    TmxGrid *shown = grid(view);
    for (const int column : shown->ColumnsInOrder())
        items << shown->ColumnCaption(column) + (shown->ColumnVisible(column) ? ",1" : ",0");
    return items.join(',');
}

int ViewTest::count(const QString &sql)
{
    const QStringList result = texts(sql.toStdString());
    return result.isEmpty() ? -1 : result.first().toInt();
}
