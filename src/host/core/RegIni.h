#pragma once

#include <QString>

class QSettings;

// Per-user settings: one INI file per agent in the settings folder; a section is an INI group.
// Every write is flushed at once so nothing is lost if the program dies.
class RegIni
{
public:
    // The folder of the files; empty restores the default (the app config location + "/corvane").
    static void SetFolder(const QString &path);
    static QString Folder();
    // The file of the signed-in agent ("default.ini" when nobody is signed in).
    static QString FileName();

    static QString ReadString(const QString &section, const QString &name, const QString &def);
    static void WriteString(const QString &section, const QString &name, const QString &value);
    static bool ReadBool(const QString &section, const QString &name, bool def);
    static void WriteBool(const QString &section, const QString &name, bool value);
    static int ReadInteger(const QString &section, const QString &name, int def);
    static void WriteInteger(const QString &section, const QString &name, int value);

    static void EraseSection(const QString &section);
    static bool SectionExists(const QString &section);
    static bool ValueExists(const QString &section, const QString &name);

private:
    static QString Key(const QString &section, const QString &name);
    static void Write(const QString &section, const QString &name, const QString &value);
};
