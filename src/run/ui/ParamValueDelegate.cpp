#include "run/ui/ParamValueDelegate.h"

#include "host/core/TypeTables.h"
#include "run/ui/ParamDateEdit.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLocale>

namespace {
const QStringList &BooleanChoices()
{
    static const QStringList choices { QStringLiteral("True"), QStringLiteral("False") };
    return choices;
}
}

ParamValueDelegate::ParamValueDelegate(int typeColumn, QObject *parent)
    : TmxGridItemDelegate(parent)
    , m_typeColumn(typeColumn)
{
}

int ParamValueDelegate::TypeOf(const QModelIndex &index) const
{
    return int(TSQLDataTypesString().indexOf(
        index.siblingAtColumn(m_typeColumn).data(Qt::EditRole).toString()));
}

QWidget *ParamValueDelegate::createEditor(
    QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    switch (TypeOf(index)) {
    case kSQLTypeBoolean: {
        auto *editor = new QComboBox(parent);
        editor->setObjectName(QStringLiteral("cbxBoolean"));
        editor->addItems(BooleanChoices());
        return editor;
    }
    case kSQLTypeDate:
        return new ParamDateEdit(parent);
    default:
        return TmxGridItemDelegate::createEditor(parent, option, index);
    }
}

void ParamValueDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QString value = index.data(Qt::EditRole).toString();
    if (auto *date = qobject_cast<ParamDateEdit *>(editor)) {
        date->setText(value);
    } else if (auto *choice = qobject_cast<QComboBox *>(editor);
               choice && TypeOf(index) == kSQLTypeBoolean) {
        // A number stands for true unless it is zero; a value that is neither chooses nothing.
        const QString word = value.trimmed().toLower();
        bool number = false;
        const double amount = QLocale().toDouble(word, &number);
        int found = -1;
        if (number)
            found = amount != 0 ? 0 : 1;
        else if (word == u"true")
            found = 0;
        else if (word == u"false")
            found = 1;
        choice->setCurrentIndex(found);
    } else {
        TmxGridItemDelegate::setEditorData(editor, index);
    }
}

void ParamValueDelegate::setModelData(
    QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *date = qobject_cast<ParamDateEdit *>(editor))
        model->setData(index, date->text(), Qt::EditRole);
    else
        TmxGridItemDelegate::setModelData(editor, model, index);
}

bool ParamValueDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *editor = qobject_cast<QWidget *>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            // At once, not queued as the base would: the next editor opens right after.
            emit commitData(editor);
            emit closeEditor(editor);
            emit ValueEntered();
            return true;
        }
        if (key == Qt::Key_Escape) {
            // The edit is dropped and the key goes on to the dialog, which it cancels: the
            // person did not open an editor, the dialog did.
            emit closeEditor(editor, RevertModelCache);
            return false;
        }
    }
    return TmxGridItemDelegate::eventFilter(object, event);
}
