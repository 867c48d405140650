#include "exchange/FieldTextForm.h"

#include "host/core/Utf8Text.h"
#include "host/db/engine/IsoDate.h"
#include "host/db/engine/Statement.h"

#include <QByteArray>
#include <QLocale>

#include <cctype>
#include <cmath>
#include <optional>

namespace {

void DateText(std::int64_t ms, std::string &text)
{
    text = IsoDate::format(ms, FieldType::DateTime, IsoDate::Fraction::Never);
    if (text.size() > 10)
        text[10] = 'T';
}

// Digits with an optional minus, few enough not to overflow: the form the writer makes, read
// without building a QString. nullopt for anything else.
std::optional<std::int64_t> PlainWholeNumber(std::string_view text)
{
    const bool negative = !text.empty() && text[0] == '-';
    const std::string_view digits = text.substr(negative ? 1 : 0);
    if (digits.empty() || digits.size() > 18)
        return std::nullopt;
    std::int64_t number = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return negative ? -number : number;
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
    std::string_view text, FieldType type, int width, Value &value, QString &error)
{
    const auto asQString = [&] { return QString::fromUtf8(text.data(), qsizetype(text.size())); };
    switch (type) {
    case FieldType::Boolean:
        if (Utf8Text::sameIgnoringCase(text, "True") || text == "1")
            value = std::int64_t(1);
        else if (Utf8Text::sameIgnoringCase(text, "False") || text == "0")
            value = std::int64_t(0);
        else
            break;
        return true;
    case FieldType::Integer: {
        if (const auto number = PlainWholeNumber(text)) {
            value = *number;
            return true;
        }
        bool ok = false; // blanks, a sign, many digits: Qt's C-locale reading decides
        const qlonglong number = asQString().toLongLong(&ok);
        if (!ok)
            break;
        value = std::int64_t(number);
        return true;
    }
    case FieldType::Float: {
        bool ok = false;
        const double number = asQString().toDouble(&ok); // C locale, whatever the machine's
        if (!ok || !std::isfinite(number))
            break;
        value = number;
        return true;
    }
    case FieldType::Date:
    case FieldType::Time:
    case FieldType::DateTime: {
        const auto ms = IsoDate::parse(text);
        if (!ms)
            break;
        value = IsoDate::format(*ms, FieldType::DateTime, IsoDate::Fraction::Never);
        return true;
    }
    case FieldType::Blob: {
        // Any byte outside ASCII is no base64 digit: the decoding stops at it.
        const auto decoded = QByteArray::fromBase64Encoding(
            QByteArray::fromRawData(text.data(), qsizetype(text.size())),
            QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            break;
        value = Blob { std::vector<unsigned char>(decoded.decoded.begin(), decoded.decoded.end()) };
        return true;
    }
    default:
        if (width > 0 && qsizetype(text.size()) > width && Utf8Text::utf16Length(text) > width) {
            error = QStringLiteral("The value is longer than the %1 characters its field holds.")
                        .arg(width);
            return false;
        }
        value = std::string(text);
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
