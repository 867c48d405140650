#pragma once

#include <QStyledItemDelegate>

#include <optional>

// The decimal-hours editor of a grid column: hours stored as a decimal number are shown as
// hours and minutes (7.5 -> "7:30"); editing accepts either form.
class TmxIPHoursDecimalHourEditProperties : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit TmxIPHoursDecimalHourEditProperties(QObject *parent = nullptr);

    // Minutes are rounded to the nearest whole minute; a negative value keeps its sign.
    static QString HoursText(double hours);
    // "7:30", "7.5" (or the locale's decimal separator), "7" or ":30". Minutes must be below 60.
    // nullopt when the text is neither form; an empty text is not a value either.
    static std::optional<double> ParseHours(const QString &text, const QLocale &locale);

    QString displayText(const QVariant &value, const QLocale &locale) const override;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
        const QModelIndex &index) const override;
    void setEditorData(QWidget *editor, const QModelIndex &index) const override;
    void setModelData(
        QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
