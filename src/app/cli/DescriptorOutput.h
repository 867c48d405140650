#pragma once

#include <QIODevice>

class ExportFile;

// A descriptor (standard output) for QTextStream, written through an ExportFile: a failed write
// is kept with the system's reason and reported by the file's Commit, not lost in a buffer.
class DescriptorOutput final : public QIODevice
{
public:
    explicit DescriptorOutput(ExportFile &file);

protected:
    qint64 readData(char *data, qint64 size) override;
    qint64 writeData(const char *data, qint64 size) override;

private:
    ExportFile &m_file;
};
