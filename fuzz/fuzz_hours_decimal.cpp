// Hours typed into a grid cell by a person, in the person's locale. Input: one byte choosing the
// locale, then the typed text; the first eight bytes also make a stored value to show. For any
// input: a text read as hours and minutes shows back as itself, written the standard way; every
// value read is finite; and every value shows as a text that reads back.
#include "host/ui/TmxIPHoursDecimalHourEditProperties.h"

#include <QLocale>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

using Hours = TmxIPHoursDecimalHourEditProperties;

void require(bool property)
{
    if (!property)
        std::abort();
}

const QLocale &pickLocale(std::uint8_t choice)
{
    static const QLocale locales[] = { QLocale::c(), QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France), QLocale(QLocale::Arabic, QLocale::Egypt) };
    return locales[choice % std::size(locales)];
}

// "[-]H:MM" as shown for a text of the hours-and-minutes form, read digit by digit in any
// script; empty when the text is not of that form or its hours are too many to check.
QString standardForm(const QString &typed)
{
    QString text = typed.trimmed();
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative)
        text.remove(0, 1);
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon < 0 || colon > 9 || text.size() - colon - 1 < 1 || text.size() - colon - 1 > 2)
        return {};
    qint64 hours = 0;
    int minutes = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (i == colon)
            continue;
        const int digit = text.at(i).digitValue();
        if (digit < 0)
            return {};
        if (i < colon)
            hours = hours * 10 + digit;
        else
            minutes = minutes * 10 + digit;
    }
    if (minutes >= 60)
        return {};
    const QString shown = QStringLiteral("%1:%2").arg(hours).arg(minutes, 2, 10, QLatin1Char('0'));
    return negative && (hours || minutes) ? QLatin1Char('-') + shown : shown;
}

// Every shown text reads back with the value's sign; for any hours a payroll can hold it reads
// back to the same minute and shows again the same.
void checkShown(double hours, const QLocale &locale)
{
    const QString shown = Hours::HoursText(hours);
    const std::optional<double> read = Hours::ParseHours(shown, locale);
    require(read.has_value());
    require(*read == 0 || (*read < 0) == (hours < 0));
    if (std::fabs(hours) < 1e9) {
        require(Hours::HoursText(*read) == shown);
        require(std::fabs(*read - hours) <= 0.5 / 60 + 1e-9);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QLocale &locale = pickLocale(data[0]);
    const QString typed
        = QString::fromUtf8(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    if (const std::optional<double> hours = Hours::ParseHours(typed, locale)) {
        require(std::isfinite(*hours));
        checkShown(*hours, locale);
        const QString standard = standardForm(typed);
        if (!standard.isEmpty())
            require(Hours::HoursText(*hours) == standard);
    }
    if (size >= sizeof(double)) {
        double stored;
        std::memcpy(&stored, data, sizeof stored);
        if (std::isfinite(stored))
            checkShown(stored, locale);
    }
    return 0;
}
