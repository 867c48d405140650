#include "host/core/Utilities.h"

#include "host/core/Utf8Text.h"

#include <QStringView>

#include <string>

QString CheckApostrophe(const QString &text)
{
    QString result = text;
    result.replace(QLatin1Char('\''), QLatin1String("''"));
    return result;
}

bool IsParameterNameChar(QChar c)
{
    const char16_t u = c.unicode();
    return u == u'-' || u == u'_' || (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'Z')
        || (u >= u'a' && u <= u'z');
}

bool FindParameter(const QString &name, const QString &statement, int &position)
{
    return FindParameter(name, statement, position, 0);
}

bool FindParameter(const QString &name, const QString &statement, int &position, int from)
{
    position = 0;
    if (name.isEmpty())
        return false;
    const QStringView text(statement);
    const qsizetype size = text.size();
    for (qsizetype at = text.indexOf(u'@', qMax(0, from)); at >= 0;
         at = text.indexOf(u'@', at + 1)) {
        if (at + 1 < size && text[at + 1] == u'[') {
            const qsizetype close = text.indexOf(u']', at + 2);
            if (close >= 0 && text.mid(at + 2, close - at - 2) == name) {
                position = int(at + 1);
                return true;
            }
            continue;
        }
        qsizetype end = at + 1;
        while (end < size && IsParameterNameChar(text[end]))
            ++end;
        if (text.mid(at + 1, end - at - 1) == name) {
            position = int(at + 1);
            return false;
        }
    }
    return false;
}

QString ConvertNormalTextToXMLString(const QString &text)
{
    QString result;
    result.reserve(text.size() + text.size() / 8);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            result += QLatin1String("&amp;");
            break;
        case u'<':
            result += QLatin1String("&lt;");
            break;
        case u'>':
            result += QLatin1String("&gt;");
            break;
        case u'"':
            result += QLatin1String("&quot;");
            break;
        case u'\'':
            result += QLatin1String("&apos;");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                result += QLatin1String("&#") + QString::number(c.unicode()) + QLatin1Char(';');
            else
                result += c;
        }
    }
    return result;
}

void AppendXMLString(std::string &out, std::string_view utf8)
{
    // Byte by byte: every character escaped is ASCII, and no byte of a longer UTF-8 sequence is.
    // Runs of bytes that need nothing are copied whole.
    std::size_t run = 0;
    for (std::size_t at = 0; at < utf8.size(); ++at) {
        const char c = utf8[at];
        const char *reference = nullptr;
        switch (c) {
        case '&':
            reference = "&amp;";
            break;
        case '<':
            reference = "&lt;";
            break;
        case '>':
            reference = "&gt;";
            break;
        case '"':
            reference = "&quot;";
            break;
        case '\'':
            reference = "&apos;";
            break;
        default:
            if (!((c >= 0 && c < 0x20) || c == 0x7f))
                continue;
        }
        out.append(utf8.substr(run, at - run));
        run = at + 1;
        if (reference) {
            out += reference;
        } else {
            out += "&#";
            out += std::to_string(int(c));
            out += ';';
        }
    }
    out.append(utf8.substr(run));
}

namespace {
// The character of one reference between "&" and ";" ("amp", "#13"); -1 when unknown.
int ReferenceCode(QStringView reference)
{
    if (reference == u"amp")
        return '&';
    if (reference == u"lt")
        return '<';
    if (reference == u"gt")
        return '>';
    if (reference == u"quot")
        return '"';
    if (reference == u"apos")
        return '\'';
    // Only the numeric references the writer makes (control characters, in decimal): any other
    // "&...;" in a file stays text, so no file can smuggle in characters of its choosing.
    if (reference.size() < 2 || reference.size() > 4 || reference[0] != u'#')
        return -1;
    bool ok = false;
    const uint code = reference.mid(1).toUInt(&ok, 10);
    if (!ok || !reference[1].isDigit() || (code >= 0x20 && code != 0x7f))
        return -1;
    return int(code);
}

// The longest text between "&" and ";" that can be a reference.
constexpr qsizetype kLongestReference = 10;
}

QString ConvertXMLStringToNormalText(const QString &text)
{
    const QStringView view(text);
    QString result;
    result.reserve(text.size());
    qsizetype at = 0;
    while (at < view.size()) {
        const qsizetype amp = view.indexOf(u'&', at);
        if (amp < 0) {
            result += view.mid(at);
            break;
        }
        result += view.mid(at, amp - at);
        const qsizetype semi = view.indexOf(u';', amp + 1);
        const int code = (semi > amp && semi - amp - 1 <= kLongestReference)
            ? ReferenceCode(view.mid(amp + 1, semi - amp - 1))
            : -1;
        if (code < 0) {
            result += u'&';
            at = amp + 1;
        } else {
            result += QChar(char16_t(code));
            at = semi + 1;
        }
    }
    return result;
}

void AppendNormalText(std::string &out, std::string_view utf8)
{
    if (utf8.find('&') == std::string_view::npos) {
        out += utf8;
        return;
    }
    // A reference is measured in UTF-16 units and its digits are judged by Unicode: with any
    // character outside ASCII, the QString form answers.
    if (!Utf8Text::isAscii(utf8)) {
        out += ConvertXMLStringToNormalText(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())))
                   .toStdString();
        return;
    }
    std::size_t at = 0;
    while (at < utf8.size()) {
        const std::size_t amp = utf8.find('&', at);
        if (amp == std::string_view::npos) {
            out += utf8.substr(at);
            break;
        }
        out += utf8.substr(at, amp - at);
        const std::size_t semi = utf8.find(';', amp + 1);
        int code = -1;
        if (semi != std::string_view::npos && semi - amp - 1 <= std::size_t(kLongestReference)) {
            const std::string_view name = utf8.substr(amp + 1, semi - amp - 1);
            code = name == "amp" ? '&'
                : name == "lt"   ? '<'
                : name == "gt"
                ? '>'
                : ReferenceCode(QString::fromLatin1(name.data(), qsizetype(name.size())));
        }
        if (code < 0) {
            out += '&';
            at = amp + 1;
        } else {
            out += char(code);
            at = semi + 1;
        }
    }
}

QString DateToYYYYMMDD(const QDateTime &value, bool separators)
{
    const QDate date = value.date();
    if (!date.isValid())
        return {};
    const QString separator = separators ? QStringLiteral("-") : QString();
    // Built piece by piece: chained arg() would read "%4" next to digits as "%40".
    return QString::number(date.year()).rightJustified(4, QLatin1Char('0')) + separator
        + QString::number(date.month()).rightJustified(2, QLatin1Char('0')) + separator
        + QString::number(date.day()).rightJustified(2, QLatin1Char('0'));
}

QString CheckApostrophe(const QString &text, const QString &fieldName)
{
    if (!text.contains(QLatin1Char('\'')))
        return {};
    if (fieldName.isEmpty())
        return QStringLiteral("An apostrophe (') is not allowed here.");
    return QStringLiteral("An apostrophe (') is not allowed in the %1.").arg(fieldName);
}
