// Exports carry whatever text a database holds, separators, quotes and line breaks included.
// For any cells: what the CSV and TSV writers make of them reads back, with a strict reader
// written here to RFC 4180 (a field in quotes holds anything, its quotes doubled; a field
// without them holds no quote and no line break; rows end in CRLF for CSV, LF for TSV), as
// exactly the rows of cells that were written, captions first.
#include "host/core/ExportFile.h"
#include "host/core/GridExportDelimited.h"
#include "host/core/GridExportValue.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

using Rows = std::vector<std::vector<std::string>>;

void require(bool property)
{
    if (!property)
        std::abort();
}

Rows Read(std::string_view bytes, char separator, std::string_view lineEnd)
{
    Rows rows;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::vector<std::string> &row = rows.emplace_back();
        for (;;) {
            std::string &field = row.emplace_back();
            if (i < bytes.size() && bytes[i] == '"') {
                for (++i;; ++i) {
                    require(i < bytes.size()); // a quote is never left open
                    if (bytes[i] == '"') {
                        if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
                            field += '"';
                            ++i;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    field += bytes[i];
                }
            } else {
                while (i < bytes.size() && bytes[i] != separator && bytes[i] != '\r'
                    && bytes[i] != '\n') {
                    require(bytes[i] != '"');
                    field += bytes[i++];
                }
            }
            if (i < bytes.size() && bytes[i] == separator) {
                ++i;
                continue;
            }
            require(bytes.substr(i, lineEnd.size()) == lineEnd); // every row ends in its line end
            i += lineEnd.size();
            break;
        }
    }
    return rows;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool csv = input.ConsumeBool();
    const bool captions = input.ConsumeBool();
    const auto columns = input.ConsumeIntegralInRange<std::size_t>(1, 6);
    Rows written;
    if (captions) {
        written.emplace_back();
        for (std::size_t column = 0; column < columns; ++column)
            written.back().push_back(input.ConsumeRandomLengthString(64));
    }
    while (input.remaining_bytes() > 0 && written.size() < 64) {
        written.emplace_back();
        for (std::size_t column = 0; column < columns; ++column)
            written.back().push_back(input.ConsumeRandomLengthString(256));
    }

    const int fd = ::memfd_create("export", 0);
    require(fd >= 0);
    {
        ExportFile file(fd, QStringLiteral("memory"));
        const char separator = csv ? ',' : '\t';
        GridExportDelimited writer(file, separator, captions);
        QString error;
        std::vector<std::string> header(columns);
        if (captions)
            header = written.front();
        require(writer.Begin(header, error));
        std::vector<GridExportValue> values(columns);
        for (std::size_t row = captions ? 1 : 0; row < written.size(); ++row) {
            for (std::size_t column = 0; column < columns; ++column) {
                values[column].kind = GridExportValue::Kind::Text;
                values[column].text = written[row][column];
            }
            writer.Row(values.data());
        }
        require(writer.Finish(error));
    }
    std::string bytes(std::size_t(::lseek(fd, 0, SEEK_END)), '\0');
    require(::pread(fd, bytes.data(), bytes.size(), 0) == ssize_t(bytes.size()));
    ::close(fd);
    require(Read(bytes, csv ? ',' : '\t', csv ? "\r\n" : "\n") == written);
    return 0;
}
