#include "host/core/GridExportDelimited.h"

#include "host/core/ExportFile.h"
#include "host/core/GridExportText.h"
#include "host/core/GridExportValue.h"

GridExportDelimited::GridExportDelimited(ExportFile &file, char separator, bool captions)
    : m_file(file)
    , m_buffer(file)
    , m_separator(separator)
    , m_lineEnd(separator == ',' ? "\r\n" : "\n")
    , m_captions(captions)
{
}

bool GridExportDelimited::Begin(const std::vector<std::string> &captions, QString &error)
{
    if (!m_file.Open(error))
        return false;
    m_columns = captions.size();
    if (!m_captions)
        return true;
    std::string &out = m_buffer.Text();
    for (std::size_t i = 0; i < captions.size(); ++i) {
        if (i > 0)
            out += m_separator;
        AppendField(out, captions[i], m_separator);
    }
    out += m_lineEnd;
    return true;
}

void GridExportDelimited::Row(const GridExportValue *values)
{
    std::string &out = m_buffer.Text();
    for (std::size_t i = 0; i < m_columns; ++i) {
        if (i > 0)
            out += m_separator;
        // Numbers, dates and base64 hold no separator, quote or line break.
        if (values[i].kind == GridExportValue::Kind::Text)
            AppendField(out, values[i].text, m_separator);
        else
            GridExportText::AppendPlain(out, values[i]);
    }
    out += m_lineEnd;
    m_buffer.RowDone();
}

void GridExportDelimited::AppendField(std::string &out, std::string_view text, char separator)
{
    const auto special
        = [separator](char c) { return c == separator || c == '"' || c == '\n' || c == '\r'; };
    std::size_t i = 0;
    while (i < text.size() && !special(text[i]))
        ++i;
    if (i == text.size()) {
        out += text;
        return;
    }
    out += '"';
    std::size_t run = 0;
    for (; i < text.size(); ++i) {
        if (text[i] == '"') {
            out.append(text.data() + run, i + 1 - run);
            out += '"';
            run = i + 1;
        }
    }
    out.append(text.data() + run, text.size() - run);
    out += '"';
}
