#pragma once

#include "host/core/GridExportBuffer.h"
#include "host/core/GridExportWriter.h"

// An array of objects, one a line, keyed by the captions: numbers and booleans as JSON's own,
// NULL (and infinities) as null, dates and texts as strings (dates in ISO form with a "T").
class GridExportJson final : public GridExportWriter
{
public:
    explicit GridExportJson(ExportFile &file);

    bool Begin(const std::vector<std::string> &captions, QString &error) override;
    void Row(const GridExportValue *values) override;
    bool Failed() const override { return m_buffer.Failed(); }
    bool Finish(QString &error) override;

private:
    ExportFile &m_file;
    GridExportBuffer m_buffer;
    std::vector<std::string> m_keys; // "\"caption\":"
    bool m_first = true;
};
