#pragma once

#include "host/core/GridExport.h"

#include <QString>

#include <optional>

// Asks where to save a grid, and in which of the formats a person opens (CSV, Excel, HTML).
// The dialog runs through ExecModal (object name "dlgSaveGrid"), so a test script can answer.
class TmxGridSaveDialog
{
public:
    struct Choice
    {
        QString path;
        GridExportFormat format;
    };
    // nullopt when cancelled. A name without a known extension gets the chosen filter's.
    static std::optional<Choice> Ask(const QString &title);
};
