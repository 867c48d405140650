#pragma once

#include <QString>

#include <vector>

// A grid's column layout as kept in the settings: its columns by field, leftmost first. Stored
// as JSON text, so field names of any characters survive.
class TmxGridLayout
{
public:
    struct Column
    {
        QString field;
        int width = 0;
        bool visible = true;
    };

    static QString ToText(const std::vector<Column> &columns);
    // Empty for a text that is not a stored layout.
    static std::vector<Column> FromText(const QString &text);
};
