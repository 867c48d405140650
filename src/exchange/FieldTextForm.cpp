#include "exchange/FieldTextForm.h"

#include "host/db/engine/IsoDate.h"
#include "host/db/engine/Statement.h"

#include <QByteArray>
#include <QLocale>

#include <cctype>
#include <cmath>

namespace {

void DateText(std::int64_t ms, std::string &text)
{
    text = IsoDate::format(ms, FieldType::DateTime, IsoDate::Fraction::Never);
    if (text.size() > 10)
        text[10] = 'T';
}

} // namespace

void FieldTextForm::write(const Statement &row, int column, FieldType type, std::string &text)
{
    text.clear();
    if (row.isNull(column))
        return;
    const FieldType stored = row.valueType(column);
    switch (type) {
    case FieldType::Boolean:
        if (stored == FieldType::Integer || stored == FieldType::Float) {
            text = row.asDouble(column) != 0 ? "True" : "False";
            return;
        }
        break;
    case FieldType::Integer:
    case FieldType::Float:
        if (stored == FieldType::Integer) {
            text = std::to_string(row.asInt64(column));
            return;
        }
        if (stored == FieldType::Float) {
            text = QString::number(row.asDouble(column), 'g', QLocale::FloatingPointShortest)
                       .toStdString();
            return;
        }
        break;
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime:
        if (const auto ms = IsoDate::parse(row.asText(column))) {
            DateText(*ms, text);
            return;
        }
        break;
    case FieldType::Blob: {
        const Blob blob = row.asBlob(column);
        text = QByteArray::fromRawData(
            reinterpret_cast<const char *>(blob.bytes.data()), qsizetype(blob.bytes.size()))
                   .toBase64()
                   .toStdString();
        return;
    }
    default:
        break;
    }
    text = row.asText(column);
}

bool FieldTextForm::read(
    const QString &text, FieldType type, int width, Value &value, QString &error)
{
    switch (type) {
    case FieldType::Boolean:
        if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 || text == u"1")
            value = std::int64_t(1);
        else if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0 || text == u"0")
            value = std::int64_t(0);
        else
            break;
        return true;
    case FieldType::Integer: {
        bool ok = false;
        const qlonglong number = text.toLongLong(&ok); // C locale, whatever the machine's
        if (!ok)
            break;
        value = std::int64_t(number);
        return true;
    }
    case FieldType::Float: {
        bool ok = false;
        const double number = text.toDouble(&ok);
        if (!ok || !std::isfinite(number))
            break;
        value = number;
        return true;
    }
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime: {
        const auto ms = IsoDate::parse(text.toStdString());
        if (!ms)
            break;
        value = IsoDate::format(*ms, FieldType::DateTime, IsoDate::Fraction::Never);
        return true;
    }
    case FieldType::Blob: {
        const auto decoded = QByteArray::fromBase64Encoding(
            text.toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            break;
        value = Blob { std::vector<unsigned char>(decoded.decoded.begin(), decoded.decoded.end()) };
        return true;
    }
    default:
        if (width > 0 && text.size() > width) {
            error = QStringLiteral("The value is longer than the %1 characters its field holds.")
                        .arg(width);
            return false;
        }
        value = text.toStdString();
        return true;
    }
    error = QStringLiteral("The value is not a valid %1.")
                .arg(type == FieldType::Boolean      ? QStringLiteral("boolean (True or False)")
                        : type == FieldType::Integer ? QStringLiteral("whole number")
                        : type == FieldType::Float   ? QStringLiteral("number")
                        : type == FieldType::Blob    ? QStringLiteral("base64 text")
                                                  : QStringLiteral("date (yyyy-MM-ddTHH:mm:ss)"));
    return false;
}

int FieldTextForm::declaredWidth(const std::string &declaredType)
{
    const auto open = declaredType.find('(');
    if (open == std::string::npos)
        return 0;
    int width = 0;
    for (auto at = open + 1;
         at < declaredType.size() && std::isdigit((unsigned char)declaredType[at]); ++at) {
        width = width * 10 + (declaredType[at] - '0');
        if (width > 1000000)
            return 0;
    }
    return width;
}
