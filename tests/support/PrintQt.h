#pragma once

#include <QString>
#include <QStringList>

#include <ostream>

// Readable failure output for Qt texts.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList &texts, std::ostream *out)
{
    *out << '{';
    for (const QString &text : texts) {
        PrintTo(text, out);
        *out << (&text == &texts.last() ? "" : ", ");
    }
    *out << '}';
}
