#include "host/ui/TfrmGridCustomise.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int ColumnRole = Qt::UserRole + 1;
}

TfrmGridCustomise::TfrmGridCustomise(QWidget *parent)
    : TfrmQuillonDlgBase(parent)
{
    setObjectName(QStringLiteral("frmGridCustomise"));
    setWindowTitle(tr("Customise Grid Columns"));
    lstColumns = new QListWidget(ClientPanel());
    lstColumns->setObjectName(QStringLiteral("lstColumns"));
    btnUp = new QPushButton(tr("Move &Up"), ClientPanel());
    btnUp->setObjectName(QStringLiteral("btnUp"));
    btnDown = new QPushButton(tr("Move &Down"), ClientPanel());
    btnDown->setObjectName(QStringLiteral("btnDown"));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnUp);
    buttons->addWidget(btnDown);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(ClientPanel());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lstColumns, 1);
    layout->addLayout(buttons);
    resize(320, 360);

    connect(btnUp, &QPushButton::clicked, this, &TfrmGridCustomise::btnUpClick);
    connect(btnDown, &QPushButton::clicked, this, &TfrmGridCustomise::btnDownClick);
    connect(lstColumns, &QListWidget::currentRowChanged, this, &TfrmGridCustomise::EnableButtons);
    EnableButtons();
}

void TfrmGridCustomise::SetColumns(const std::vector<Item> &items)
{
    lstColumns->clear();
    for (const Item &item : items) {
        auto *row = new QListWidgetItem(item.caption, lstColumns);
        row->setData(ColumnRole, item.column);
        row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
        row->setCheckState(item.visible ? Qt::Checked : Qt::Unchecked);
    }
    if (lstColumns->count() > 0)
        lstColumns->setCurrentRow(0);
    EnableButtons();
}

std::vector<TfrmGridCustomise::Item> TfrmGridCustomise::Columns() const
{
    std::vector<Item> items;
    for (int row = 0; row < lstColumns->count(); ++row) {
        const QListWidgetItem *item = lstColumns->item(row);
        items.push_back(
            { item->data(ColumnRole).toInt(), item->text(), item->checkState() == Qt::Checked });
    }
    return items;
}

void TfrmGridCustomise::btnUpClick()
{
    MoveCurrent(-1);
}

void TfrmGridCustomise::btnDownClick()
{
    MoveCurrent(1);
}

void TfrmGridCustomise::MoveCurrent(int step)
{
    const int row = lstColumns->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= lstColumns->count())
        return;
    QListWidgetItem *item = lstColumns->takeItem(row);
    lstColumns->insertItem(target, item);
    lstColumns->setCurrentRow(target);
}

void TfrmGridCustomise::EnableButtons()
{
    const int row = lstColumns->currentRow();
    btnUp->setEnabled(row > 0);
    btnDown->setEnabled(row >= 0 && row < lstColumns->count() - 1);
}
