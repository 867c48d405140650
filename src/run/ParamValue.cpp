#include "run/ParamValue.h"

#include "host/core/Globals.h"
#include "host/core/TypeTables.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/Connection.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <optional>

namespace {

QString Quoted(const QString &value)
{
    return QLatin1Char('\'') + value + QLatin1Char('\'');
}

// Whole runs of one format letter ("dd", "MM", "yy") replaced by another text.
QString ReplaceRun(const QString &format, QChar letter, int length, const QString &by)
{
    const QString run(length, letter);
    QRegularExpression pattern(
        QStringLiteral("(?<!%1)%2(?!%1)")
            .arg(QRegularExpression::escape(QString(letter)), QRegularExpression::escape(run)));
    QString result = format;
    return result.replace(pattern, by);
}

// The short date format with a four-digit year: what dates are shown in, so that showing and
// reading back never moves a date by a century.
QString FourDigitYearFormat()
{
    const QString format = GlobalFormatSettings().ShortDateFormat;
    return format.contains(QLatin1String("yyyy"))
        ? format
        : ReplaceRun(format, u'y', 2, QStringLiteral("yyyy"));
}

// Two-digit years fall within the 100 years around now: 49 ahead, 50 back.
QDate WindowedYear(QDate date)
{
    const int century = QDate::currentDate().year() / 100 * 100;
    int year = century + date.year() % 100;
    if (year > QDate::currentDate().year() + 49)
        year -= 100;
    return QDate(year, date.month(), date.day());
}

QDateTime ParseDate(const QString &text)
{
    QString fourDigitYear = ReplaceRun(FourDigitYearFormat(), u'd', 2, QStringLiteral("d"));
    fourDigitYear = ReplaceRun(fourDigitYear, u'M', 2, QStringLiteral("M"));
    const QString twoDigitYear = ReplaceRun(fourDigitYear, u'y', 4, QStringLiteral("yy"));
    static const QStringList times { QString(), QStringLiteral(" H:mm"), QStringLiteral(" H:mm:ss"),
        QStringLiteral(" h:mm AP"), QStringLiteral(" h:mm:ss AP") };
    const QLocale locale;
    for (const QString &time : times) {
        QDateTime value = locale.toDateTime(text, fourDigitYear + time);
        if (value.isValid() && value.date().year() >= 100) // "24" is no four-digit year
            return value;
        value = locale.toDateTime(text, twoDigitYear + time);
        if (value.isValid()) {
            value.setDate(WindowedYear(value.date()));
            return value;
        }
        value = QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd") + time);
        if (value.isValid())
            return value;
    }
    return QDateTime::fromString(text, Qt::ISODate);
}

bool ParseBoolean(const QString &text)
{
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0
        || text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return true;
    bool ok = false;
    text.toLongLong(&ok);
    if (ok)
        return true;
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    const double number = locale.toDouble(text, &ok);
    return ok && std::isfinite(number);
}

bool ParseDecimal(const QString &text)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double number = locale.toDouble(text, &ok);
    return ok && std::isfinite(number);
}

// The number a value stands for, read in the C locale (how values are stored now) or in the
// person's locale (how they are typed, and how older values were stored).
std::optional<double> ReadNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    for (QLocale locale : { QLocale::c(), QLocale() }) {
        locale.setNumberOptions(QLocale::RejectGroupSeparator);
        bool ok = false;
        const double number = locale.toDouble(trimmed, &ok);
        if (ok && std::isfinite(number))
            return number;
    }
    return std::nullopt;
}

// Numbers are stored and written into statements in the C locale; true and false as typed.
bool IsNumberType(int typeIndex, const QString &value)
{
    return typeIndex == kSQLTypeDecimal
        || (typeIndex == kSQLTypeBoolean
            && value.trimmed().compare(QLatin1String("true"), Qt::CaseInsensitive)
            && value.trimmed().compare(QLatin1String("false"), Qt::CaseInsensitive));
}

} // namespace

QString CanonicalParamText(int typeIndex, const QString &value)
{
    if (!IsNumberType(typeIndex, value))
        return value;
    const std::optional<double> number = ReadNumber(value);
    return number ? QLocale::c().toString(*number, 'g', QLocale::FloatingPointShortest) : value;
}

ParamCheck CheckParamValue(int typeIndex, const QString &value)
{
    ParamCheck check;
    const QString text = value.trimmed();
    // No statement can carry it, and it would cut the value short wherever it is stored.
    if (value.contains(QChar(0))) {
        check.errorText = QStringLiteral("a value may not hold a NUL character");
        return check;
    }
    switch (typeIndex) {
    case kSQLTypeText:
        check.ok = true;
        break;
    case kSQLTypeBoolean:
        check.ok = ParseBoolean(text);
        if (!check.ok)
            check.errorText = Quoted(value) + QStringLiteral(" is not a valid boolean value");
        break;
    case kSQLTypeDate:
        check.date = ParseDate(text);
        check.ok = check.date.isValid();
        if (!check.ok) {
            check.errorText = Quoted(value) + QStringLiteral(" is not a valid date");
        } else if (!DateIsSet(check.date) || check.date.date().year() > 9999) {
            // Written as YYYYMMDD, and the zero date and earlier stand for no value at all.
            check.ok = false;
            check.errorText = Quoted(value)
                + QStringLiteral(" is not a date between 31 Dec 1899 and 31 Dec 9999");
        }
        break;
    case kSQLTypeDecimal:
        check.ok = ParseDecimal(text);
        if (!check.ok)
            check.errorText
                = Quoted(value) + QStringLiteral(" is not a valid floating point value");
        break;
    case kSQLTypeInteger:
        text.toInt(&check.ok, 10);
        if (!check.ok)
            check.errorText = Quoted(value) + QStringLiteral(" is not a valid integer value");
        break;
    default:
        check.errorText = QStringLiteral("unknown type");
        break;
    }
    return check;
}

QString ParamMismatchMessage(
    const QString &value, const QString &typeName, const QString &errorText)
{
    QString shown = value;
    shown.replace(QChar(0), QLatin1String("\\0")); // visible, and the message is not cut short
    QString message
        = QStringLiteral("Value \"%1\" does not match Type \"%2\"!").arg(shown, typeName);
    if (!errorText.isEmpty())
        message += QStringLiteral("\r\nError: ") + errorText + QLatin1Char('.');
    return message;
}

QString DateErrorText(const QString &conversionError)
{
    return conversionError + QStringLiteral(".\r\rPlease enter dates in \"")
        + GlobalFormatSettings().ShortDateFormat + QStringLiteral("\" format");
}

QString ParamDisplayValue(const ParamRow &row)
{
    if (row.typeIndex != kSQLTypeDate) {
        const QString stored = row.cValue.value_or(QString());
        const std::optional<double> number
            = IsNumberType(row.typeIndex, stored) ? ReadNumber(stored) : std::nullopt;
        if (!number)
            return stored;
        QLocale locale;
        locale.setNumberOptions(QLocale::OmitGroupSeparator); // what the check accepts back
        return locale.toString(*number, 'g', QLocale::FloatingPointShortest);
    }
    if (!DateIsSet(row.dtValue))
        return QString();
    const QLocale locale;
    const QDateTime &value = *row.dtValue;
    QString text = locale.toString(value.date(), FourDigitYearFormat());
    const QTime time = value.time();
    if (time != QTime(0, 0)) {
        const QString timeFormat = time.second() != 0 ? QStringLiteral("HH:mm:ss")
                                                      : GlobalFormatSettings().ShortTimeFormat;
        text += QLatin1Char(' ') + locale.toString(time, timeFormat);
    }
    return text;
}

ParamEntry EntryFromRow(const ParamRow &row)
{
    ParamEntry entry;
    entry.name = row.name;
    entry.typeName = TSQLDataTypesString().value(row.typeIndex);
    entry.value = ParamDisplayValue(row);
    if (row.typeIndex == kSQLTypeDate && DateIsSet(row.dtValue))
        entry.date = *row.dtValue;
    return entry;
}

ParamRow RowFromEntry(const ParamEntry &entry)
{
    ParamRow row;
    row.name = entry.name;
    row.typeIndex = TSQLDataTypesString().indexOf(entry.typeName);
    if (row.typeIndex != kSQLTypeDate)
        row.cValue = CanonicalParamText(row.typeIndex, entry.value);
    else if (entry.date.isValid())
        row.dtValue = entry.date;
    return row;
}

bool ValidateParamEntries(std::vector<ParamEntry> &entries, QString &message, int &failedRow)
{
    message.clear();
    failedRow = -1;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        ParamEntry &entry = entries[i];
        const int typeIndex = TSQLDataTypesString().indexOf(entry.typeName);
        if (typeIndex < 0) {
            message = QStringLiteral("Please choose a valid Type!");
        } else {
            const ParamCheck check = CheckParamValue(typeIndex, entry.value);
            if (check.ok && typeIndex == kSQLTypeDate)
                entry.date = check.date;
            else if (!check.ok)
                message = ParamMismatchMessage(entry.value, entry.typeName,
                    typeIndex == kSQLTypeDate ? DateErrorText(check.errorText) : check.errorText);
        }
        if (!message.isEmpty()) {
            failedRow = static_cast<int>(i);
            return false;
        }
    }
    return true;
}

bool StoreParamValues(
    Connection &payroll, int enquiryId, const std::vector<ParamEntry> &entries, QString &error)
{
    error.clear();
    for (const ParamEntry &entry : entries) {
        if (TSQLDataTypesString().indexOf(entry.typeName) < 0) {
            error = QStringLiteral("The parameter \"%1\" has no valid type.").arg(entry.name);
            return false;
        }
    }
    TQuillonADOQuery query;
    query.SetConnection(&payroll);
    query.SetTableName(QStringLiteral("_iptblEasyEnquiryParam"));
    query.SetKeyField(QStringLiteral("idEnquiryParam"));
    query.SetSQL(QStringLiteral("select * from _iptblEasyEnquiryParam where iEnquiryID = ")
        + QString::number(enquiryId) + QStringLiteral(" order by idEnquiryParam"));
    if (!query.Open()) {
        error = query.LastErrorText();
        return false;
    }
    if (query.RecordCount() != static_cast<int>(entries.size())) {
        error = QStringLiteral("The IQ has %1 parameters but %2 values were given.")
                    .arg(query.RecordCount())
                    .arg(entries.size());
        return false;
    }

    // All rows or none: a failed post must not leave half the values of a run behind.
    Transaction transaction(payroll);
    query.First();
    for (const ParamEntry &entry : entries) {
        const ParamRow row = RowFromEntry(entry);
        const bool written = query.brEdit(true)
            && query.FieldByName(QStringLiteral("iSQLTypeID")).SetAsInteger(row.typeIndex)
            && query.FieldByName(QStringLiteral("dtValue"))
                   .SetAsVariant(row.dtValue ? QVariant(*row.dtValue) : QVariant())
            && query.FieldByName(QStringLiteral("cValue"))
                   .SetAsVariant(row.cValue ? QVariant(*row.cValue) : QVariant())
            && query.brPost();
        if (!written) {
            error = query.LastErrorText();
            if (error.isEmpty())
                error = QStringLiteral("The value of \"%1\" could not be stored.").arg(entry.name);
            query.Cancel();
            return false;
        }
        query.Next();
    }
    if (transaction.started() && !transaction.commit()) {
        error = QString::fromStdString(payroll.lastError().text);
        return false;
    }
    return true;
}
