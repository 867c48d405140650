#pragma once

#include "host/core/GridExportBuffer.h"
#include "host/core/GridExportWriter.h"

// A page with one table under the title: a header row of captions, numbers aligned right.
class GridExportHtml final : public GridExportWriter
{
public:
    GridExportHtml(ExportFile &file, const QString &title, bool captions);

    bool Begin(const std::vector<std::string> &captions, QString &error) override;
    void Row(const GridExportValue *values) override;
    bool Failed() const override { return m_buffer.Failed(); }
    bool Finish(QString &error) override;

private:
    ExportFile &m_file;
    GridExportBuffer m_buffer;
    QString m_title;
    bool m_captions;
    std::size_t m_columns = 0;
};
