#include "host/core/GridExportJson.h"

#include "host/core/ExportFile.h"
#include "host/core/GridExportText.h"
#include "host/core/GridExportValue.h"

#include <cmath>

GridExportJson::GridExportJson(ExportFile &file)
    : m_file(file)
    , m_buffer(file)
{
}

bool GridExportJson::Begin(const std::vector<std::string> &captions, QString &error)
{
    if (!m_file.Open(error))
        return false;
    for (const std::string &caption : captions) {
        std::string key;
        GridExportText::AppendJsonString(key, caption);
        m_keys.push_back(key + ':');
    }
    m_buffer.Text() += '[';
    return true;
}

void GridExportJson::Row(const GridExportValue *values)
{
    using Kind = GridExportValue::Kind;
    std::string &out = m_buffer.Text();
    out += m_first ? "\n{" : ",\n{";
    m_first = false;
    for (std::size_t i = 0; i < m_keys.size(); ++i) {
        if (i > 0)
            out += ',';
        out += m_keys[i];
        const GridExportValue &value = values[i];
        switch (value.kind) {
        case Kind::Null:
            out += "null";
            break;
        case Kind::Bool:
            out += value.integer ? "true" : "false";
            break;
        case Kind::Integer:
            GridExportText::AppendInteger(out, value.integer);
            break;
        case Kind::Real:
            if (std::isfinite(value.real))
                GridExportText::AppendReal(out, value.real);
            else
                out += "null";
            break;
        case Kind::Date:
        case Kind::Time:
        case Kind::Bytes:
            out += '"';
            GridExportText::AppendPlain(out, value, 'T');
            out += '"';
            break;
        case Kind::Text:
            GridExportText::AppendJsonString(out, value.text);
            break;
        }
    }
    out += '}';
    m_buffer.RowDone();
}

bool GridExportJson::Finish(QString &error)
{
    m_buffer.Text() += "\n]\n";
    return m_buffer.Finish(error);
}
