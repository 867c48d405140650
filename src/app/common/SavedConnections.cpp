#include "app/common/SavedConnections.h"

#include "host/core/RegIni.h"
#include "host/db/engine/ConnectionName.h"

#include <QDir>
#include <QSettings>

namespace {

// One "key=value" entry of an ODBC connection string: [begin, end) in the text, the key trimmed.
struct Entry
{
    qsizetype begin;
    qsizetype end;
    QString key;
};

// The entries of a connection string. A braced value may hold ";" and "}}" (a closing brace);
// an unclosed brace runs to the end, as the driver manager would read it.
QList<Entry> Entries(const QString &text)
{
    QList<Entry> entries;
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype begin = at;
        const qsizetype equals = text.indexOf(u'=', at);
        const qsizetype semicolon = text.indexOf(u';', at);
        if (equals < 0 || (semicolon >= 0 && semicolon < equals)) {
            at = semicolon < 0 ? text.size() : semicolon + 1;
            entries.append({ begin, at, text.mid(begin, at - begin).trimmed() });
            continue;
        }
        const QString key = text.mid(begin, equals - begin).trimmed();
        at = equals + 1;
        while (at < text.size() && text[at] == u' ')
            ++at;
        if (at < text.size() && text[at] == u'{') {
            for (++at; at < text.size(); ++at) {
                if (text[at] != u'}')
                    continue;
                if (at + 1 < text.size() && text[at + 1] == u'}')
                    ++at;
                else
                    break;
            }
        }
        const qsizetype next = text.indexOf(u';', std::min(at, text.size()));
        at = next < 0 ? text.size() : next + 1;
        entries.append({ begin, at, key });
    }
    return entries;
}

bool IsPasswordKey(const QString &key)
{
    return key.compare(u"PWD", Qt::CaseInsensitive) == 0
        || key.compare(u"Password", Qt::CaseInsensitive) == 0;
}

const QString kOdbcPrefix = QString::fromLatin1(
    ConnectionName::kOdbcPrefix.data(), qsizetype(ConnectionName::kOdbcPrefix.size()));

QSettings OpenSettings()
{
    return QSettings(SavedConnections::File(), QSettings::IniFormat);
}

} // namespace

QString WithoutPassword(const QString &name, bool *removed)
{
    if (removed)
        *removed = false;
    if (!name.startsWith(kOdbcPrefix))
        return name;
    const QString text = name.mid(kOdbcPrefix.size());
    QString kept;
    for (const Entry &entry : Entries(text)) {
        if (IsPasswordKey(entry.key)) {
            if (removed)
                *removed = true;
            continue;
        }
        kept += text.mid(entry.begin, entry.end - entry.begin);
    }
    // A password that was the last entry leaves a ";" behind.
    while (kept.endsWith(u';'))
        kept.chop(1);
    return kOdbcPrefix + kept;
}

QString WithPassword(const QString &name, const QString &password)
{
    const QString base = WithoutPassword(name);
    if (!base.startsWith(kOdbcPrefix))
        return name;
    QString quoted = password;
    quoted.replace(QStringLiteral("}"), QStringLiteral("}}"));
    const QString separator = base.size() == kOdbcPrefix.size() ? QString() : QStringLiteral(";");
    return base + separator + QStringLiteral("PWD={") + quoted + u'}';
}

QString SavedConnections::File()
{
    return QDir(RegIni::Folder()).filePath(QStringLiteral("connections.ini"));
}

QList<SavedConnection> SavedConnections::Load()
{
    QSettings settings = OpenSettings();
    QList<SavedConnection> connections;
    const int count = settings.beginReadArray(QStringLiteral("Connections"));
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        SavedConnection connection { settings.value("Name").toString().trimmed(),
            settings.value("Payroll").toString(), settings.value("Common").toString(),
            settings.value("AskPassword").toBool() };
        // A hand-edited file may hold a password: it is used never, and dropped at the next save.
        bool removed = false;
        connection.payroll = WithoutPassword(connection.payroll, &removed);
        connection.askPassword |= removed;
        connection.common = WithoutPassword(connection.common, &removed);
        connection.askPassword |= removed;
        if (!connection.name.isEmpty())
            connections.append(connection);
    }
    settings.endArray();
    return connections;
}

bool SavedConnections::Save(const QList<SavedConnection> &connections, QString &error)
{
    QDir().mkpath(RegIni::Folder());
    QSettings settings = OpenSettings();
    settings.remove(QStringLiteral("Connections"));
    settings.beginWriteArray(QStringLiteral("Connections"), int(connections.size()));
    for (int i = 0; i < connections.size(); ++i) {
        const SavedConnection &connection = connections[i];
        bool payrollHad = false;
        bool commonHad = false;
        settings.setArrayIndex(i);
        settings.setValue("Name", connection.name.trimmed());
        settings.setValue("Payroll", WithoutPassword(connection.payroll, &payrollHad));
        settings.setValue("Common", WithoutPassword(connection.common, &commonHad));
        settings.setValue("AskPassword", connection.askPassword || payrollHad || commonHad);
    }
    settings.endArray();
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        error = QStringLiteral("The connections could not be saved in \"%1\".").arg(File());
        return false;
    }
    return true;
}

QString SavedConnections::LastChoice()
{
    return OpenSettings().value(QStringLiteral("LastChoice")).toString();
}

void SavedConnections::SetLastChoice(const QString &name)
{
    QDir().mkpath(RegIni::Folder());
    QSettings settings = OpenSettings();
    settings.setValue(QStringLiteral("LastChoice"), name);
}
