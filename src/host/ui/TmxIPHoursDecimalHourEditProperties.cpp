#include "host/ui/TmxIPHoursDecimalHourEditProperties.h"

#include <QLineEdit>
#include <QLocale>

#include <algorithm>
#include <cmath>

TmxIPHoursDecimalHourEditProperties::TmxIPHoursDecimalHourEditProperties(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QString TmxIPHoursDecimalHourEditProperties::HoursText(double hours)
{
    if (!std::isfinite(hours))
        return {};
    // From 2^52 up a double holds whole hours only, and their minutes would overflow a qint64.
    if (std::fabs(hours) >= 0x1p52)
        return QString::number(hours, 'f', 0) + QLatin1String(":00");
    const qint64 minutes = qint64(std::llround(std::fabs(hours) * 60.0));
    const QString text
        = QStringLiteral("%1:%2").arg(minutes / 60).arg(minutes % 60, 2, 10, QLatin1Char('0'));
    return (hours < 0 && minutes > 0) ? QLatin1Char('-') + text : text;
}

std::optional<double> TmxIPHoursDecimalHourEditProperties::ParseHours(
    const QString &text, const QLocale &locale)
{
    QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const int colon = trimmed.indexOf(QLatin1Char(':'));
    if (colon < 0) {
        bool ok = false;
        double value = locale.toDouble(trimmed, &ok);
        if (!ok)
            value = QLocale::c().toDouble(trimmed, &ok);
        if (!ok || !std::isfinite(value))
            return std::nullopt;
        return value;
    }
    bool negative = false;
    if (trimmed.startsWith(QLatin1Char('-'))) {
        negative = true;
        trimmed.remove(0, 1);
    }
    const QString hoursPart = trimmed.left(trimmed.indexOf(QLatin1Char(':')));
    const QString minutesPart = trimmed.mid(trimmed.indexOf(QLatin1Char(':')) + 1);
    // ASCII digits only: toInt() reads no other script, so "7:\u0663\u0660" would be 7:00.
    const auto allDigits = [](const QString &part) {
        return std::all_of(part.begin(), part.end(),
            [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
    };
    if (minutesPart.isEmpty() || minutesPart.size() > 2 || !allDigits(hoursPart)
        || !allDigits(minutesPart))
        return std::nullopt;
    const int minutes = minutesPart.toInt();
    if (minutes >= 60)
        return std::nullopt;
    bool ok = true;
    const double hours = hoursPart.isEmpty() ? 0.0 : hoursPart.toDouble(&ok);
    if (!ok)
        return std::nullopt;
    const double value = hours + minutes / 60.0;
    return negative ? -value : value;
}

QString TmxIPHoursDecimalHourEditProperties::displayText(
    const QVariant &value, const QLocale &locale) const
{
    bool ok = false;
    const double hours = value.toDouble(&ok);
    if (!value.isValid() || !ok)
        return QStyledItemDelegate::displayText(value, locale);
    return HoursText(hours);
}

void TmxIPHoursDecimalHourEditProperties::initStyleOption(
    QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // The model shows numbers formatted; the hours are read from the raw value instead.
    const QVariant raw = index.data(Qt::EditRole);
    bool ok = false;
    const double hours = raw.toDouble(&ok);
    if (raw.isValid() && ok)
        option->text = HoursText(hours);
}

QWidget *TmxIPHoursDecimalHourEditProperties::createEditor(
    QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const
{
    auto *editor = new QLineEdit(parent);
    editor->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return editor;
}

void TmxIPHoursDecimalHourEditProperties::setEditorData(
    QWidget *editor, const QModelIndex &index) const
{
    const QVariant raw = index.data(Qt::EditRole);
    bool ok = false;
    const double hours = raw.toDouble(&ok);
    static_cast<QLineEdit *>(editor)->setText(raw.isValid() && ok ? HoursText(hours) : QString());
}

void TmxIPHoursDecimalHourEditProperties::setModelData(
    QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const
{
    const QString text = static_cast<QLineEdit *>(editor)->text();
    if (text.trimmed().isEmpty()) {
        model->setData(index, QVariant(), Qt::EditRole);
        return;
    }
    // A text that is neither form leaves the value as it was.
    if (const auto hours = ParseHours(text, editor->locale()))
        model->setData(index, *hours, Qt::EditRole);
}
