#pragma once

#include "host/core/GridExportBuffer.h"
#include "host/core/GridExportWriter.h"

#include <string_view>

// CSV (RFC 4180: comma, CRLF) and TSV (tab, LF). A field that holds the separator, a quote or a
// line break is put in quotes with its quotes doubled, as spreadsheet programs read both; any
// other field, and every number and date, as it is. Texts are written as the database holds
// them, byte for byte.
class GridExportDelimited final : public GridExportWriter
{
public:
    GridExportDelimited(ExportFile &file, char separator, bool captions);

    bool Begin(const std::vector<std::string> &captions, QString &error) override;
    void Row(const GridExportValue *values) override;
    bool Failed() const override { return m_buffer.Failed(); }
    bool Finish(QString &error) override { return m_buffer.Finish(error); }

    static void AppendField(std::string &out, std::string_view text, char separator);

private:
    ExportFile &m_file;
    GridExportBuffer m_buffer;
    char m_separator;
    std::string_view m_lineEnd;
    bool m_captions;
    std::size_t m_columns = 0;
};
