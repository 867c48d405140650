#include "edit/ui/ColumnDetailsGroup.h"

#include "edit/EditorColumns.h"
#include "host/db/dataset/TQuillonTempTable.h"
#include "host/ui/CommandState.h"
#include "host/ui/TmxGrid.h"
#include "host/ui/TmxGridModel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString kIndex = QStringLiteral("iIndex");
const QString kColumnName = QStringLiteral("cColumnName");
const QString kShow = QStringLiteral("bShow");
const QString kOrder = QStringLiteral("iOrder");
}

ColumnDetailsGroup::ColumnDetailsGroup(QWidget *parent, std::vector<EditorColumn> &columns)
    : QGroupBox(tr("Column Details"), parent)
    , FColumns(columns)
{
    setObjectName(QStringLiteral("grpColumn"));
    tmptblColumn = new TQuillonTempTable(this);
    tmptblColumn->setObjectName(QStringLiteral("tmptblColumn"));
    tmptblColumn->AddField(kIndex, FieldType::Integer);
    tmptblColumn->AddField(kColumnName, FieldType::String, kColumnNameLength);
    tmptblColumn->AddField(kShow, FieldType::Boolean);
    tmptblColumn->AddField(kOrder, FieldType::Integer);
    tmptblColumn->CreateTable();

    grdColumn = new TmxGrid(this);
    grdColumn->setObjectName(QStringLiteral("grdColumn"));
    grdColumn->SetViewName(QStringLiteral("vwColumn"));
    grdColumn->SetFilterRowVisible(false);
    grdColumn->SetSaveSettings(false);
    grdColumn->SetEditable(true);
    vwColumncColumnName = grdColumn->AddColumn(kColumnName, tr("Column Name"));
    grdColumn->SetColumnReadOnly(vwColumncColumnName, true);
    vwColumnbShow = grdColumn->AddColumn(kShow, tr("Show"));
    vwColumniOrder = grdColumn->AddColumn(kOrder, tr("Order"));
    grdColumn->SetDataSet(tmptblColumn);
    QTableView *view = grdColumn->View();
    view->horizontalHeader()->setStretchLastSection(true);
    // The name is only read: the cursor skips it and lands on Show.
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
        [this, view](const QModelIndex &current) {
            if (current.isValid() && current.column() == vwColumncColumnName)
                view->setCurrentIndex(current.siblingAtColumn(vwColumnbShow));
        });
    view->installEventFilter(this);
    connect(tmptblColumn, &TQuillonDataSet::RowChanged, this,
        &ColumnDetailsGroup::tmptblColumnRowChanged);

    btnSelect = new QPushButton(tr("Select All"), this);
    btnSelect->setObjectName(QStringLiteral("btnSelect"));
    btnSelect->setAutoDefault(false);
    btnDeSelect = new QPushButton(tr("DeSelect All"), this);
    btnDeSelect->setObjectName(QStringLiteral("btnDeSelect"));
    btnDeSelect->setAutoDefault(false);
    connect(btnSelect, &QPushButton::clicked, this, [this] { SetShowStatus(true); });
    connect(btnDeSelect, &QPushButton::clicked, this, [this] { SetShowStatus(false); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnSelect);
    buttons->addWidget(btnDeSelect);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(grdColumn, 1);
    layout->addLayout(buttons);
}

void ColumnDetailsGroup::Reload()
{
    const QScopedValueRollback<bool> refresh(FRefresh, true);
    tmptblColumn->DisableControls();
    tmptblColumn->EmptyTable();
    for (std::size_t i = 0; i < FColumns.size(); ++i) {
        tmptblColumn->brAppend();
        tmptblColumn->FieldByName(kIndex).SetAsInteger(qint64(i + 1));
        tmptblColumn->FieldByName(kColumnName).SetAsString(FColumns[i].name);
        tmptblColumn->FieldByName(kShow).SetAsBoolean(FColumns[i].show);
        tmptblColumn->FieldByName(kOrder).SetAsInteger(FColumns[i].order);
        tmptblColumn->brPost();
    }
    tmptblColumn->First();
    tmptblColumn->EnableControls();
    grdColumn->View()->resizeColumnToContents(vwColumncColumnName);
}

void ColumnDetailsGroup::SetButtonsEnabled(bool enabled, const QString &reason)
{
    SetCommandState(btnSelect, enabled, reason);
    SetCommandState(btnDeSelect, enabled, reason);
}

void ColumnDetailsGroup::SetShowStatus(bool show)
{
    const QScopedValueRollback<bool> refresh(FRefresh, true);
    tmptblColumn->DisableControls();
    for (std::size_t i = 0; i < FColumns.size(); ++i) {
        if (FColumns[i].show == show || !tmptblColumn->MoveTo(int(i)))
            continue;
        FColumns[i].show = show;
        tmptblColumn->brEdit();
        tmptblColumn->FieldByName(kShow).SetAsBoolean(show);
        tmptblColumn->brPost();
    }
    tmptblColumn->First();
    tmptblColumn->EnableControls();
}

// A person changed a row: Show is taken as it is; a new Order moves the others by the rule.
void ColumnDetailsGroup::tmptblColumnRowChanged(int record)
{
    if (FRefresh || record < 0 || record >= int(FColumns.size()))
        return;
    const std::size_t index = std::size_t(tmptblColumn->FieldByName(kIndex).AsInteger() - 1);
    if (index >= FColumns.size())
        return;
    FColumns[index].show = tmptblColumn->FieldByName(kShow).AsBoolean();
    const int order = tmptblColumn->FieldByName(kOrder).AsInteger();
    if (order == FColumns[index].order)
        return;
    ChangeColumnOrder(FColumns, index, order);
    WriteOrders();
    tmptblColumn->MoveTo(record);
}

void ColumnDetailsGroup::WriteOrders()
{
    const QScopedValueRollback<bool> refresh(FRefresh, true);
    for (std::size_t i = 0; i < FColumns.size(); ++i) {
        if (!tmptblColumn->MoveTo(int(i))
            || tmptblColumn->FieldByName(kOrder).AsInteger() == FColumns[i].order)
            continue;
        tmptblColumn->brEdit();
        tmptblColumn->FieldByName(kOrder).SetAsInteger(FColumns[i].order);
        tmptblColumn->brPost();
    }
}

// Enter goes on as Tab does (Show, Order, the next row's Show) rather than pressing OK.
bool ColumnDetailsGroup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == grdColumn->View() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            MoveOn();
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void ColumnDetailsGroup::MoveOn()
{
    QTableView *view = grdColumn->View();
    const QModelIndex current = view->currentIndex();
    if (!current.isValid())
        return;
    const bool last = current.column() == vwColumniOrder;
    const int row = last ? current.row() + 1 : current.row();
    if (row >= view->model()->rowCount())
        return;
    view->setCurrentIndex(view->model()->index(row, last ? vwColumnbShow : vwColumniOrder));
}
