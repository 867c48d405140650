#include "host/db/Connection.h"

void Statement::readRow(RowSink &sink) const
{
    const int count = columnCount();
    for (int column = 0; column < count; ++column) {
        switch (valueType(column)) {
        case FieldType::Integer:
            sink.integer(column, asInt64(column));
            break;
        case FieldType::Float:
            sink.real(column, asDouble(column));
            break;
        case FieldType::Blob: {
            const Blob value = asBlob(column);
            sink.blob(column,
                std::string_view(
                    reinterpret_cast<const char *>(value.bytes.data()), value.bytes.size()));
            break;
        }
        case FieldType::Other:
            if (isNull(column)) {
                sink.null(column);
                break;
            }
            [[fallthrough]];
        default:
            sink.text(column, asText(column));
            break;
        }
    }
}
