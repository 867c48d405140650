#pragma once

#include "host/core/GridExport.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

class ExportFile;
struct GridExportValue;

// One format's writer. GridExport drives it over the rows of a result, GridExportStream over a
// statement's rows as they are read; neither the writer nor they keep a row once it is written.
class GridExportWriter
{
public:
    virtual ~GridExportWriter() = default;

    // Opens the output and writes what precedes the rows, with a caption (UTF-8) per column.
    // False with the error.
    virtual bool Begin(const std::vector<std::string> &captions, QString &error) = 0;
    // One row: a value per column.
    virtual void Row(const GridExportValue *values) = 0;
    // Once a write failed the remaining rows need not come: Finish reports the failure.
    virtual bool Failed() const = 0;
    // Writes what follows the rows and completes the file. False with the error; a regular
    // target file is then left as it was.
    virtual bool Finish(QString &error) = 0;

    // The writer of a format; `report` receives what it had to change (see GridExportReport).
    static std::unique_ptr<GridExportWriter> Make(GridExportFormat format, ExportFile &file,
        const GridExportOptions &options, GridExportReport &report);
};
