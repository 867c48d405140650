#pragma once

#include "host/ui/TmxGridItemDelegate.h"

// The editor of a parameter's value follows the row's type: a choice of True and False for the
// boolean type, a date with a calendar for the date type, the grid's line editor for the rest.
// Enter writes the value and closes the editor at once, then says so (ValueEntered), so that the
// dialog moves on to the next value; Escape drops the edit and goes on to cancel the dialog.
class ParamValueDelegate final : public TmxGridItemDelegate
{
    Q_OBJECT
public:
    ParamValueDelegate(int typeColumn, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(
        QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

signals:
    void ValueEntered();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    int TypeOf(const QModelIndex &index) const; // index into TSQLDataTypesString, -1 if none

    int m_typeColumn;
};
