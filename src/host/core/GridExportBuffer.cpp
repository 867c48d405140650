#include "host/core/GridExportBuffer.h"

#include "host/core/ExportFile.h"

GridExportBuffer::GridExportBuffer(ExportFile &file)
    : m_file(file)
{
    m_text.reserve(kPiece + kPiece / 4);
}

bool GridExportBuffer::Failed() const
{
    return m_file.Failed();
}

bool GridExportBuffer::Finish(QString &error)
{
    Flush();
    return m_file.Commit(error);
}

void GridExportBuffer::Flush()
{
    m_file.Write(m_text.data(), qint64(m_text.size()));
    m_text.clear();
}
