#include "host/ui/TmxGridItemDelegate.h"

#include "host/ui/TmxGridModel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHelpEvent>
#include <QToolTip>

namespace {
QStringList PickListOf(const QModelIndex &index)
{
    const auto *model = qobject_cast<const TmxGridModel *>(index.model());
    if (!model || index.column() >= model->ColumnCount())
        return {};
    return model->Column(index.column()).pickList;
}
}

TmxGridItemDelegate::TmxGridItemDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QWidget *TmxGridItemDelegate::createEditor(
    QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    const QStringList items = PickListOf(index);
    if (items.isEmpty())
        return QStyledItemDelegate::createEditor(parent, option, index);
    auto *editor = new QComboBox(parent);
    editor->setObjectName(QStringLiteral("cbxPickList"));
    editor->addItems(items);
    // A choice is written as soon as it is made, like a typed value on leaving the cell.
    connect(editor, &QComboBox::activated, this, [this, editor](int) {
        auto *self = const_cast<TmxGridItemDelegate *>(this);
        emit self->commitData(editor);
        emit self->closeEditor(editor);
    });
    return editor;
}

void TmxGridItemDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        const int found
            = combo->findText(index.data(Qt::EditRole).toString(), Qt::MatchFixedString);
        combo->setCurrentIndex(found);
        return;
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

void TmxGridItemDelegate::setModelData(
    QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *combo = qobject_cast<QComboBox *>(editor)) {
        if (combo->currentIndex() >= 0)
            model->setData(index, combo->currentText(), Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

bool TmxGridItemDelegate::helpEvent(QHelpEvent *event, QAbstractItemView *view,
    const QStyleOptionViewItem &option, const QModelIndex &index)
{
    if (event->type() != QEvent::ToolTip || !index.isValid())
        return QStyledItemDelegate::helpEvent(event, view, option, index);
    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty() && sizeHint(option, index).width() > option.rect.width()) {
        QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
        return true;
    }
    QToolTip::hideText();
    return true; // a value shown whole needs no tooltip
}
