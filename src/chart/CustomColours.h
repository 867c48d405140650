#pragma once

#include <QString>
#include <QStringList>

// The custom colours every chart window offers in its colour picker: one list for the whole
// process, entries "Name=BBGGRR". Windows append what their IQ stored; nothing clears it, so
// colours added by windows opened earlier stay ahead.
QStringList &CustomColourList();
// Appends the stored text's entries, or the 16 defaults when nothing is stored.
void LoadCustomColours(const QString &stored);
QString StoredCustomColours(); // every entry, joined by ","
