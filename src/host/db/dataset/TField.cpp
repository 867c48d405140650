#include "host/db/dataset/TQuillonDataSet.h"

#include "host/db/dataset/FieldValues.h"
#include "host/db/engine/IsoDate.h"

#include <cmath>

QString TField::FieldName() const
{
    return IsValid() ? m_dataSet->FieldName(m_index) : QString();
}

FieldType TField::DataType() const
{
    return IsValid() ? m_dataSet->FieldDataType(m_index) : FieldType::Other;
}

bool TField::IsNull() const
{
    const QVariant value = AsVariant();
    return !value.isValid() || value.isNull();
}

QVariant TField::AsVariant() const
{
    return IsValid() ? m_dataSet->CurrentValue(m_index) : QVariant();
}

QString TField::AsString() const
{
    const QVariant value = AsVariant();
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
        return QString::number(value.toDouble(), 'g', 15);
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::QDateTime:
        return QString::fromStdString(
            IsoDate::format(FieldValues::msFromDateTime(value.toDateTime()),
                DataType() == FieldType::Date ? FieldType::Date : FieldType::DateTime));
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    default:
        return value.toString();
    }
}

qint64 TField::AsLargeInt() const
{
    const QVariant value = AsVariant();
    if (!value.isValid() || value.isNull())
        return 0;
    if (value.metaType().id() == QMetaType::Double)
        return static_cast<qint64>(std::trunc(value.toDouble()));
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (ok)
        return number;
    return static_cast<qint64>(value.toString().trimmed().toDouble());
}

int TField::AsInteger() const
{
    return static_cast<int>(AsLargeInt());
}

double TField::AsFloat() const
{
    const QVariant value = AsVariant();
    if (!value.isValid() || value.isNull())
        return 0;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? number : value.toString().trimmed().toDouble();
}

bool TField::AsBoolean() const
{
    const QVariant value = AsVariant();
    if (!value.isValid() || value.isNull())
        return false;
    if (value.metaType().id() == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        return text == "true" || text == "yes" || text.toDouble() != 0;
    }
    return value.toBool();
}

QDateTime TField::AsDateTime() const
{
    const QVariant value = AsVariant();
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.metaType().id()) {
    case QMetaType::QDate:
        return QDateTime(value.toDate(), QTime(0, 0));
    case QMetaType::QTime:
        return QDateTime(QDate(1970, 1, 1), value.toTime());
    case QMetaType::QDateTime:
        return value.toDateTime();
    default:
        break;
    }
    const QByteArray text = value.toString().trimmed().toUtf8();
    if (const auto ms
        = IsoDate::parse(std::string_view(text.constData(), static_cast<std::size_t>(text.size()))))
        return FieldValues::dateTimeFromMs(*ms);
    return {};
}

QByteArray TField::AsBytes() const
{
    const QVariant value = AsVariant();
    if (!value.isValid() || value.isNull())
        return {};
    if (value.metaType().id() == QMetaType::QByteArray)
        return value.toByteArray();
    return AsString().toUtf8();
}

bool TField::SetAsVariant(const QVariant &value)
{
    return IsValid() && m_dataSet->SetCurrentValue(m_index, value);
}
