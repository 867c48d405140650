#pragma once

#include <QString>

#include <optional>
#include <vector>

class Connection;
class EnquiryEditor;

// An IQ definition as "show --format json" prints it and "--from FILE" reads it. Lookups are
// by their codes and names, so a file moves between installations. A field the file lacks is
// left as the editor has it.
struct DefinitionJson
{
    struct Param
    {
        QString name;
        QString type;
        QString value; // a date as yyyy-MM-dd[ HH:mm:ss]
    };
    struct Column
    {
        QString name;
        bool show = false;
        int order = 0;
    };
    std::optional<QString> code;
    std::optional<QString> description;
    std::optional<QString> database; // "payroll" or "common"
    std::optional<QString> company; // a payroll company's code; empty: none
    std::optional<QString> frequency; // a pay frequency's code; empty: none
    std::optional<QString> type; // an IQ type's name
    std::optional<QString> sql;
    std::optional<std::vector<Param>> parameters;
    std::optional<std::vector<Column>> columns;

    // False with `error` naming what is wrong.
    static bool Parse(const QByteArray &bytes, DefinitionJson &out, QString &error);
    QByteArray Write() const;
    // What the editor would store, with codes and names looked up.
    static DefinitionJson FromEditor(Connection &payroll, const EnquiryEditor &editor);
};
