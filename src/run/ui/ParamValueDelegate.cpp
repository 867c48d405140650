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

// The choice a stored value stands for: a number is true unless it is zero; -1 for a value that
// is neither a number nor true or false.
int BooleanChoiceOf(const QString &value)
{
    const QString word = value.trimmed().toLower();
    bool number = false;
    const double amount = QLocale().toDouble(word, &number);
    if (number)
        return amount != 0 ? 0 : 1;
    if (word == u"true")
        return 0;
    return word == u"false" ? 1 : -1;
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
        choice->setCurrentIndex(BooleanChoiceOf(value));
    } else {
        TmxGridItemDelegate::setEditorData(editor, index);
    }
}

void ParamValueDelegate::setModelData(
    QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    if (auto *date = qobject_cast<ParamDateEdit *>(editor)) {
        model->setData(index, date->text(), Qt::EditRole);
        return;
    }
    // A stored 1 or 0 stays as it is when the choice means the same.
    auto *choice = qobject_cast<QComboBox *>(editor);
    if (choice && TypeOf(index) == kSQLTypeBoolean
        && choice->currentIndex() == BooleanChoiceOf(index.data(Qt::EditRole).toString()))
        return;
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
