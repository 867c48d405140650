#include "host/core/GridExportHtml.h"

#include "host/core/ExportFile.h"
#include "host/core/GridExportText.h"
#include "host/core/GridExportValue.h"

GridExportHtml::GridExportHtml(ExportFile &file, const QString &title, bool captions)
    : m_file(file)
    , m_buffer(file)
    , m_title(title)
    , m_captions(captions)
{
}

bool GridExportHtml::Begin(const std::vector<std::string> &captions, QString &error)
{
    if (!m_file.Open(error))
        return false;
    m_columns = captions.size();
    std::string &out = m_buffer.Text();
    std::string title;
    GridExportText::AppendHtml(title, m_title.toStdString());
    out += "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + title
        + "</title>\n<style>\n"
          "table { border-collapse: collapse; font-family: sans-serif; }\n"
          "th, td { border: 1px solid #999; padding: 2px 6px; }\n"
          "th { background: #e8e8e8; }\n.n { text-align: right; }\n"
          "</style>\n</head>\n<body>\n<table>\n<caption>"
        + title + "</caption>\n";
    if (m_captions) {
        out += "<thead>\n<tr>";
        for (const std::string &caption : captions) {
            out += "<th>";
            GridExportText::AppendHtml(out, caption);
            out += "</th>";
        }
        out += "</tr>\n</thead>\n";
    }
    out += "<tbody>\n";
    return true;
}

void GridExportHtml::Row(const GridExportValue *values)
{
    using Kind = GridExportValue::Kind;
    std::string &out = m_buffer.Text();
    out += "<tr>";
    for (std::size_t i = 0; i < m_columns; ++i) {
        const GridExportValue &value = values[i];
        const bool number = value.kind == Kind::Integer || value.kind == Kind::Real;
        out += number ? "<td class=\"n\">" : "<td>";
        if (value.kind == Kind::Text)
            GridExportText::AppendHtml(out, value.text);
        else
            GridExportText::AppendPlain(out, value);
        out += "</td>";
    }
    out += "</tr>\n";
    m_buffer.RowDone();
}

bool GridExportHtml::Finish(QString &error)
{
    m_buffer.Text() += "</tbody>\n</table>\n</body>\n</html>\n";
    return m_buffer.Finish(error);
}
