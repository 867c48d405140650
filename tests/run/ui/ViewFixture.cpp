#include "ViewFixture.h"

#include "host/core/Globals.h"
#include "host/ui/TmxGrid.h"
#include "package/PackageWindows.h"
#include "run/EnquiryWindows.h"
#include "run/ui/TfrmIPEasyEnquiryView.h"

#include <QApplication>
#include <QPointer>

void ViewFixture::SetUp()
{
    db.addDemoData(30, 2);
    objGeneralParameters.iHoursDisplay = 0;
    InstallEnquiryWindows();
    IQWindows().chart = [this, chart = IQWindows().chart](int id, const QString &query,
                            const QString &filter, const QString &columns) {
        chartRequests.push_back({ id, query, filter, columns });
        chart(id, query, filter, columns);
    };
}

void ViewFixture::TearDown()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *view = qobject_cast<TfrmIPEasyEnquiryView *>(widget); view && view->isVisible())
            view->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    objGeneralParameters.iHoursDisplay = 0;
    InstallEnquiryWindows();
}

int ViewFixture::addEnquiry(
    const QString &code, const QString &sql, const std::vector<std::pair<QString, bool>> &columns)
{
    const int id = db.insertEnquiry(code, sql);
    db.insertColumns(id, columns);
    return id;
}

TfrmIPEasyEnquiryView *ViewFixture::run(int enquiryId)
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

TmxGrid *ViewFixture::grid(TfrmIPEasyEnquiryView *view)
{
    return view ? view->findChild<TmxGrid *>("grdQueryView") : nullptr;
}

QString ViewFixture::layout(TfrmIPEasyEnquiryView *view)
{
    QStringList items;
    TmxGrid *shown = grid(view);
    for (const int column : shown->ColumnsInOrder())
        items << shown->ColumnCaption(column) + (shown->ColumnVisible(column) ? ",1" : ",0");
    return items.join(',');
}
