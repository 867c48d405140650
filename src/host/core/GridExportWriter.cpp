#include "host/core/GridExportWriter.h"

#include "host/core/GridExportDelimited.h"
#include "host/core/GridExportHtml.h"
#include "host/core/GridExportJson.h"
#include "host/core/GridExportXlsx.h"

std::unique_ptr<GridExportWriter> GridExportWriter::Make(GridExportFormat format, ExportFile &file,
    const GridExportOptions &options, GridExportReport &report)
{
    switch (format) {
    case GridExportFormat::Csv:
        return std::make_unique<GridExportDelimited>(file, ',', options.captions);
    case GridExportFormat::Tsv:
        return std::make_unique<GridExportDelimited>(file, '\t', options.captions);
    case GridExportFormat::Json:
        return std::make_unique<GridExportJson>(file);
    case GridExportFormat::Xlsx:
        return std::make_unique<GridExportXlsx>(file, options, report);
    case GridExportFormat::Html:
        return std::make_unique<GridExportHtml>(file, options.title, options.captions);
    }
    return nullptr;
}
