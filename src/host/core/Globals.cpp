#include "host/core/Globals.h"

#include "host/core/SystemValues.h"

#include <QLocale>

TGeneralParameters objGeneralParameters;
bool bExtendedLogging = false;

namespace {
// The first character of a format that is not a letter or a quote: the separator it uses.
QChar SeparatorOf(const QString &format, QChar fallback)
{
    for (const QChar c : format) {
        if (!c.isLetter() && c != u'\'' && !c.isSpace())
            return c;
    }
    return fallback;
}
}

TFormatSettings GlobalFormatSettings()
{
    const QLocale locale;
    TFormatSettings settings;
    settings.ShortDateFormat = locale.dateFormat(QLocale::ShortFormat);
    settings.LongDateFormat = locale.dateFormat(QLocale::LongFormat);
    settings.ShortTimeFormat = locale.timeFormat(QLocale::ShortFormat);
    settings.LongTimeFormat = locale.timeFormat(QLocale::LongFormat);
    settings.DateSeparator = SeparatorOf(settings.ShortDateFormat, u'/');
    settings.TimeSeparator = SeparatorOf(settings.ShortTimeFormat, u':');
    const QString decimal = locale.decimalPoint();
    settings.DecimalSeparator = decimal.isEmpty() ? QChar(u'.') : decimal.at(0);
    const QString group = locale.groupSeparator();
    settings.ThousandSeparator = group.isEmpty() ? QChar(u',') : group.at(0);
    settings.CurrencyString = locale.currencySymbol();
    return settings;
}

void LoadGeneralParameters()
{
    const auto on = [](const char *name) {
        return GetCurrentSystemValue(QString::fromLatin1(name), QStringLiteral("0")).trimmed()
            == QLatin1String("1");
    };
    objGeneralParameters.iHoursDisplay = on("Hours Display") ? 1 : 0;
    bExtendedLogging = on("Extended Logging");
}
