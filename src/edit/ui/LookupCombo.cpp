#include "edit/ui/LookupCombo.h"

#include "host/db/engine/Connection.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>

namespace {
constexpr int kKeyRole = Qt::UserRole + 1;
}

LookupCombo::LookupCombo(QWidget *parent, const QStringList &captions, bool withEmpty)
    : QComboBox(parent)
    , FWithEmpty(withEmpty)
{
    auto *model = new QStandardItemModel(0, int(captions.size()), this);
    model->setHorizontalHeaderLabels(captions);
    setModel(model);
    if (captions.size() > 1) {
        auto *list = new QTableView(this);
        list->verticalHeader()->hide();
        list->horizontalHeader()->setStretchLastSection(true);
        list->setSelectionBehavior(QAbstractItemView::SelectRows);
        list->setShowGrid(false);
        setView(list);
    }
}

bool LookupCombo::Fill(Connection &connection, std::string_view sql, QString &error)
{
    auto *items = static_cast<QStandardItemModel *>(model());
    items->removeRows(0, items->rowCount());
    if (FWithEmpty)
        items->appendRow(QList<QStandardItem *> { new QStandardItem });
    DbError failure;
    const bool ok = connection.forEachRow(
        sql, {},
        [&](const Statement &row) {
            QList<QStandardItem *> cells;
            for (int c = 1; c <= items->columnCount(); ++c)
                cells << new QStandardItem(QString::fromStdString(std::string(row.asText(c))));
            cells.front()->setData(int(row.asInt64(0)), kKeyRole);
            items->appendRow(cells);
            return true;
        },
        failure);
    if (!ok)
        error = QString::fromStdString(failure.text);
    if (auto *list = qobject_cast<QTableView *>(view()))
        list->resizeColumnsToContents();
    setCurrentIndex(count() > 0 ? 0 : -1);
    return ok;
}

std::optional<int> LookupCombo::Key() const
{
    // A typed text counts only when it is an entry's own text.
    const int index = isEditable()
        ? findText(currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive)
        : currentIndex();
    const QVariant key = index >= 0 ? itemData(index, kKeyRole) : QVariant();
    return key.isValid() ? std::optional<int>(key.toInt()) : std::nullopt;
}

void LookupCombo::SelectKey(const std::optional<int> &key)
{
    const int index = key ? findData(*key, kKeyRole) : -1;
    setCurrentIndex(index >= 0 ? index : (FWithEmpty ? 0 : -1));
}
