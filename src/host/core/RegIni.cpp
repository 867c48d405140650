#include "host/core/RegIni.h"

#include "host/core/Agent.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace {
QString g_folder;

// Slashes would make nested groups out of one section or value name.
QString Clean(const QString &part)
{
    QString cleaned = part;
    cleaned.replace(QLatin1Char('/'), QLatin1Char('_'))
        .replace(QLatin1Char('\\'), QLatin1Char('_'));
    return cleaned;
}

QString FileBaseName()
{
    const TAgent *agent = CurrentAgent();
    if (!agent || agent->cAgentName.trimmed().isEmpty())
        return QStringLiteral("default");
    QString name;
    for (const QChar c : agent->cAgentName.trimmed())
        name += (c.isLetterOrNumber() || c == u'-' || c == u'_' || c == u'.') ? c : QChar(u'_');
    return name;
}
}

void RegIni::SetFolder(const QString &path)
{
    g_folder = path;
}

QString RegIni::Folder()
{
    if (!g_folder.isEmpty())
        return g_folder;
    // $XDG_CONFIG_HOME/corvane: the place the README gives, whatever the program's name.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/corvane");
}

QString RegIni::FileName()
{
    return QDir(Folder()).filePath(FileBaseName() + QStringLiteral(".ini"));
}

QString RegIni::Key(const QString &section, const QString &name)
{
    return Clean(section) + QLatin1Char('/') + Clean(name);
}

QString RegIni::ReadString(const QString &section, const QString &name, const QString &def)
{
    const QSettings settings(FileName(), QSettings::IniFormat);
    const QVariant value = settings.value(Key(section, name), def);
    // A hand-edited value with bare commas reads back as a list; it was one text.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void RegIni::Write(const QString &section, const QString &name, const QString &value)
{
    QDir().mkpath(Folder());
    QSettings settings(FileName(), QSettings::IniFormat);
    settings.setValue(Key(section, name), value);
    settings.sync();
}

void RegIni::WriteString(const QString &section, const QString &name, const QString &value)
{
    Write(section, name, value);
}

bool RegIni::ReadBool(const QString &section, const QString &name, bool def)
{
    const QString text = ReadString(section, name, QString()).trimmed();
    if (text.isEmpty())
        return def;
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const int number = text.toInt(&ok);
    return ok ? number != 0 : def;
}

void RegIni::WriteBool(const QString &section, const QString &name, bool value)
{
    Write(section, name, value ? QStringLiteral("1") : QStringLiteral("0"));
}

int RegIni::ReadInteger(const QString &section, const QString &name, int def)
{
    bool ok = false;
    const int number = ReadString(section, name, QString()).trimmed().toInt(&ok);
    return ok ? number : def;
}

void RegIni::WriteInteger(const QString &section, const QString &name, int value)
{
    Write(section, name, QString::number(value));
}

void RegIni::EraseSection(const QString &section)
{
    if (!SectionExists(section))
        return;
    QSettings settings(FileName(), QSettings::IniFormat);
    settings.remove(Clean(section));
    settings.sync();
}

bool RegIni::SectionExists(const QString &section)
{
    const QSettings settings(FileName(), QSettings::IniFormat);
    return settings.childGroups().contains(Clean(section));
}

bool RegIni::ValueExists(const QString &section, const QString &name)
{
    const QSettings settings(FileName(), QSettings::IniFormat);
    return settings.contains(Key(section, name));
}
