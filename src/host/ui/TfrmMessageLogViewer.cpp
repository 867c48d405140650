#include "host/ui/TfrmMessageLogViewer.h"

#include "host/core/HostContext.h"
#include "host/core/Log.h"
#include "host/core/Messages.h"
#include "host/core/SqlExec.h"
#include "host/db/engine/Connection.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
enum Column { colLogged, colAgent, colType, colSeverity, colText, colExtra1, colExtra2, colCount };
}

TfrmMessageLogViewer::TfrmMessageLogViewer(QWidget *parent)
    : TfrmQuillon(parent)
{
    setWindowTitle(tr("Message Log Viewer"));
    auto *lblSearch = new QLabel(tr("&Search:"), this);
    edtSearch = new QLineEdit(this);
    edtSearch->setObjectName(QStringLiteral("edtSearch"));
    edtSearch->setClearButtonEnabled(true);
    lblSearch->setBuddy(edtSearch);
    btnRefresh = new QPushButton(tr("&Refresh"), this);
    btnRefresh->setObjectName(QStringLiteral("btnRefresh"));
    grdLog = new QTableWidget(0, colCount, this);
    grdLog->setObjectName(QStringLiteral("grdLog"));
    grdLog->setHorizontalHeaderLabels({ tr("Logged"), tr("Agent"), tr("Type"), tr("Severity"),
        tr("Text"), tr("Extra 1"), tr("Extra 2") });
    grdLog->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdLog->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdLog->verticalHeader()->hide();
    grdLog->setWordWrap(false);
    grdLog->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdLog->horizontalHeader()->setSectionResizeMode(colText, QHeaderView::Stretch);
    lblNoEntries = new QLabel(this);
    lblNoEntries->setObjectName(QStringLiteral("lblNoEntries"));
    lblNoEntries->hide();

    auto *top = new QHBoxLayout;
    top->addWidget(lblSearch);
    top->addWidget(edtSearch, 1);
    top->addWidget(btnRefresh);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(grdLog);
    layout->addWidget(lblNoEntries);
    resize(900, 500);

    connect(edtSearch, &QLineEdit::textChanged, this, &TfrmMessageLogViewer::edtSearchChanged);
    connect(btnRefresh, &QPushButton::clicked, this, &TfrmMessageLogViewer::LoadLog);
}

void TfrmMessageLogViewer::LoadLog()
{
    grdLog->setRowCount(0);
    Connection *connection = CommonConnection();
    if (!connection) {
        ErrMessage(tr("The message log is not available: no common database is open."));
        return;
    }
    DbError error;
    int row = 0;
    const bool ok = connection->forEachRow(
        "select dtLogged, cAgentName, iLogType, iSeverity, cText, cExtra1, cExtra2 from _btblLog "
        "order by idLog desc",
        {},
        [&](const Statement &record) {
            grdLog->insertRow(row);
            for (int column = 0; column < colCount; ++column) {
                QString text = SqlExec::TextAt(record, column);
                if (column == colLogged)
                    text = QLocale().toString(SqlExec::DateTimeAt(record, column),
                        QLocale().dateFormat(QLocale::ShortFormat) + QStringLiteral(" HH:mm:ss"));
                else if (column == colType)
                    text = LogTypeName(text.toInt());
                else if (column == colSeverity)
                    text = SeverityName(text.toInt());
                grdLog->setItem(row, column, new QTableWidgetItem(text));
            }
            return ++row < kMaxRows;
        },
        error);
    if (!ok)
        ErrMessage(tr("The message log could not be read.\r\n\r\n%1")
                       .arg(QString::fromStdString(error.text)));
    edtSearchChanged();
}

void TfrmMessageLogViewer::edtSearchChanged()
{
    const QString search = edtSearch->text().trimmed();
    for (int row = 0; row < grdLog->rowCount(); ++row) {
        bool match = search.isEmpty();
        for (int column = 0; column < colCount && !match; ++column) {
            const QTableWidgetItem *item = grdLog->item(row, column);
            match = item && item->text().contains(search, Qt::CaseInsensitive);
        }
        grdLog->setRowHidden(row, !match);
    }
    const bool none = VisibleRowCount() == 0;
    lblNoEntries->setText(search.isEmpty() ? tr("The log has no entries.")
                                           : tr("No entries match \"%1\".").arg(search));
    lblNoEntries->setVisible(none);
}

int TfrmMessageLogViewer::VisibleRowCount() const
{
    int count = 0;
    for (int row = 0; row < grdLog->rowCount(); ++row)
        count += grdLog->isRowHidden(row) ? 0 : 1;
    return count;
}

void TfrmMessageLogViewer::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier)
        close();
    else
        TfrmQuillon::keyPressEvent(event);
}

TfrmMessageLogViewer *DoMessageLogViewer()
{
    auto *viewer = new TfrmMessageLogViewer(nullptr);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
    viewer->LoadLog();
    viewer->show();
    return viewer;
}
