#pragma once

#include <QChar>
#include <QString>

// The host's general payroll parameters that the package reads.
struct TGeneralParameters
{
    int iHoursDisplay = 0; // 1: hours columns show decimal hours
};

extern TGeneralParameters objGeneralParameters;
extern bool bExtendedLogging;

// Reads both from the system values "Hours Display" and "Extended Logging" ("1" switches each
// on); the programs call it when the databases open and after System Settings are saved.
void LoadGeneralParameters();

// Regional formats of the person's locale (QLocale(), the default locale). Date and time formats
// use Qt's notation ("dd/MM/yyyy").
struct TFormatSettings
{
    QString ShortDateFormat;
    QString LongDateFormat;
    QString ShortTimeFormat;
    QString LongTimeFormat;
    QChar DateSeparator;
    QChar TimeSeparator;
    QChar DecimalSeparator;
    QChar ThousandSeparator;
    QString CurrencyString;
};
TFormatSettings GlobalFormatSettings();
