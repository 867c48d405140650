#pragma once

#include "host/core/GridExportWriter.h"

#include <cstdint>
#include <memory>
#include <string_view>

class QTemporaryFile;
struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// The Excel writer: a bold header row on every sheet, numbers as numbers (whole numbers beyond
// 2^53, which a number cell would round, as text), dates as dates with a date format, or a
// date-time format when there is a time of day. The workbook is built in the temporary folder
// in constant memory (rows go to disk as they come) and, once complete, copied into the file.
// Excel's limits change nothing in silence: a text longer than a cell holds is cut and counted,
// and rows beyond a sheet go on to further sheets, each with the header (GridExportReport).
class GridExportXlsx final : public GridExportWriter
{
public:
    GridExportXlsx(ExportFile &file, const GridExportOptions &options, GridExportReport &report);
    ~GridExportXlsx() override;

    bool Begin(const std::vector<std::string> &captions, QString &error) override;
    void Row(const GridExportValue *values) override;
    bool Failed() const override { return m_failure != 0; }
    bool Finish(QString &error) override;

private:
    bool AddSheet();
    void WriteText(int column, std::string_view text);
    void WriteDate(int column, std::int64_t ms);
    void Check(int result); // keeps the first failure (an lxw_error)
    QString WorkbookError(int systemError) const;

    ExportFile &m_file;
    GridExportOptions m_options;
    GridExportReport &m_report;
    std::vector<std::string> m_captions;
    std::unique_ptr<QTemporaryFile> m_temporary;
    lxw_workbook *m_workbook = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_bold = nullptr;
    lxw_format *m_dateFormat = nullptr;
    lxw_format *m_stampFormat = nullptr;
    lxw_format *m_timeFormat = nullptr;
    std::uint32_t m_sheetRow = 0; // the next row of the current sheet
    int m_failure = 0;
    std::string m_text; // a cell's text as the library takes it: valid, cut to fit, with its NUL
};
