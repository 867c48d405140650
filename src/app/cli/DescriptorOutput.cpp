#include "app/cli/DescriptorOutput.h"

#include "host/core/ExportFile.h"

DescriptorOutput::DescriptorOutput(ExportFile &file)
    : m_file(file)
{
}

qint64 DescriptorOutput::readData(char *, qint64)
{
    return -1;
}

qint64 DescriptorOutput::writeData(const char *data, qint64 size)
{
    m_file.Write(data, size);
    return m_file.Failed() ? -1 : size;
}
