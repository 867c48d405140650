#include "host/ui/TmxGridSaveDialog.h"

#include "host/core/Messages.h"
#include "host/ui/ModalDialogs.h"

#include <QFileDialog>

#include <algorithm>

namespace {
struct SaveFormat
{
    const char *filter;
    GridExportFormat format;
};
const SaveFormat kSaveFormats[] = {
    { "CSV (Comma delimited) (*.csv)", GridExportFormat::Csv },
    { "Excel Workbook (*.xlsx)", GridExportFormat::Xlsx },
    { "Web Page (*.html *.htm)", GridExportFormat::Html },
};
}

std::optional<TmxGridSaveDialog::Choice> TmxGridSaveDialog::Ask(const QString &title)
{
    QFileDialog dialog(ActiveHostWindow(), title);
    dialog.setObjectName(QStringLiteral("dlgSaveGrid"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters;
    for (const SaveFormat &format : kSaveFormats)
        filters << QString::fromLatin1(format.filter);
    dialog.setNameFilters(filters);
    dialog.selectFile(title);
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;

    Choice choice { dialog.selectedFiles().constFirst(), GridExportFormat::Csv };
    const std::optional<GridExportFormat> named = GridExport::FormatFromFileName(choice.path);
    const bool offered = std::any_of(std::begin(kSaveFormats), std::end(kSaveFormats),
        [&](const SaveFormat &format) { return named == format.format; });
    if (offered) {
        choice.format = *named;
    } else {
        const auto index = std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter()));
        choice.format = kSaveFormats[index].format;
        choice.path += QLatin1Char('.') + GridExport::Suffix(choice.format);
    }
    return choice;
}
