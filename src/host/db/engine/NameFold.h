#pragma once

#include <string>
#include <string_view>

class QString;

// Names compare without letter case: fields, tables, columns, parameters, registered classes,
// and the keywords of the filter and of declared types. Each character folds by Unicode simple
// case folding, so "Ümsatz" and "üMSATZ" are one field whether the grid looks it up (QString) or
// the record filter does (UTF-8): both forms give the same answer.
//
// Nothing outside ASCII folds into ASCII (the long s and the Kelvin sign would): a name in ASCII
// letters then matches exactly as the SQL engines match it, and keywords stay ASCII.
//
// Values are not names: the filter compares text values as SQL's NOCASE does (FilterText).
struct NameFold
{
    static std::string fold(std::string_view utf8); // bytes that are not UTF-8 stay as they are
    static QString fold(const QString &name);
    static bool same(std::string_view a, std::string_view b);
    static bool same(const QString &a, const QString &b);
    // C strings and literals are UTF-8 (a QString would take them too).
    static std::string fold(const char *utf8) { return fold(std::string_view(utf8)); }
    static bool same(const char *a, const char *b)
    {
        return same(std::string_view(a), std::string_view(b));
    }
};
