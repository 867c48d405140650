#pragma once

#include <QStyledItemDelegate>

// The grid's default cell editor: a drop-down list for columns with a pick list, the usual
// line editor for the rest. A value its column cuts shows whole in the cell's tooltip.
class TmxGridItemDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TmxGridItemDelegate(QObject *parent = nullptr);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(
        QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
        const QModelIndex &index) override;
};
