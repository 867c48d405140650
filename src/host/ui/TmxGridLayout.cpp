#include "host/ui/TmxGridLayout.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
const QString kField = QStringLiteral("field");
const QString kWidth = QStringLiteral("width");
const QString kVisible = QStringLiteral("visible");
}

QString TmxGridLayout::ToText(const std::vector<Column> &columns)
{
    QJsonArray items;
    for (const Column &column : columns) {
        items.append(QJsonObject {
            { kField, column.field }, { kWidth, column.width }, { kVisible, column.visible } });
    }
    return QString::fromUtf8(QJsonDocument(items).toJson(QJsonDocument::Compact));
}

std::vector<TmxGridLayout::Column> TmxGridLayout::FromText(const QString &text)
{
    std::vector<Column> columns;
    const QJsonArray items = QJsonDocument::fromJson(text.toUtf8()).array();
    for (const QJsonValue &value : items) {
        const QJsonObject item = value.toObject();
        const QString field = item.value(kField).toString();
        if (!field.isEmpty())
            columns.push_back(
                { field, item.value(kWidth).toInt(), item.value(kVisible).toBool(true) });
    }
    return columns;
}
