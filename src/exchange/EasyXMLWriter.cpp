#include "exchange/EasyXMLWriter.h"

#include "exchange/FieldTextForm.h"
#include "exchange/Windows1252.h"
#include "host/core/Utilities.h"
#include "host/db/engine/Connection.h"

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

namespace {

enum class Escape { None, LessThan, Full };

// A block's fields to leave out and to escape, by exact name.
struct BlockRules
{
    std::vector<std::string> skipped;
    std::vector<std::string> escaped;
};

const BlockRules kRecordRules { { "idEnquiry", "iPayrollCompanyID", "iPayFrequencyID" },
    { "cSQLStatement" } };
const BlockRules kColumnRules { { "idEnquiryColumn", "iEnquiryID" }, { "cColumnName" } };
const BlockRules kParamRules { { "idEnquiryParam", "iEnquiryID" }, { "cDescription", "cValue" } };

bool Contains(const std::vector<std::string> &names, const std::string &name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// A compiled statement with what the writer needs of its result columns.
struct BlockQuery
{
    std::unique_ptr<Statement> statement;
    std::vector<std::string> names;
    std::vector<FieldType> types;
    std::vector<Escape> escapes;
    int idColumn = -1; // the record's own id (main rows only)
    std::string value; // reused for every field

    bool Prepare(
        Connection &connection, const std::string &sql, const BlockRules &rules, QString &error)
    {
        statement = connection.prepare(sql);
        if (!statement) {
            error = QString::fromStdString(connection.lastError().text);
            return false;
        }
        for (int c = 0; c < statement->columnCount(); ++c) {
            const std::string name = statement->columnName(c);
            names.push_back(name);
            types.push_back(statement->declaredType(c));
            if (name == "idEnquiry")
                idColumn = c;
            escapes.push_back(Contains(rules.skipped, name) ? Escape::None
                    : Contains(rules.escaped, name)         ? Escape::Full
                                                            : Escape::LessThan);
            if (Contains(rules.skipped, name))
                names.back().clear(); // never written
        }
        return true;
    }

    // The field lines of the current row.
    void WriteFields(std::string &text)
    {
        for (int c = 0; c < int(names.size()); ++c) {
            if (names[c].empty() || statement->isNull(c))
                continue;
            // Texts are read in place; other values take their text form.
            std::string_view view;
            if (isTextType(types[c]) && statement->valueType(c) == FieldType::String) {
                view = statement->asText(c);
            } else {
                FieldTextForm::write(*statement, c, types[c], value);
                view = value;
            }
            if (view.empty())
                continue;
            text += '<';
            text += names[c];
            text += '>';
            if (escapes[c] == Escape::Full) {
                AppendXMLString(text, view);
            } else {
                // A "<" in a value written as it is would end the value early: no reader could
                // take the file back.
                for (std::size_t at; (at = view.find('<')) != std::string_view::npos;) {
                    text.append(view.substr(0, at));
                    text += "&lt;";
                    view.remove_prefix(at + 1);
                }
                text.append(view);
            }
            text += "</";
            text += names[c];
            text += ">\r\n";
        }
    }

    // Each row of the sub-statement for `id` as a block named `block`.
    bool WriteBlocks(std::int64_t id, const char *block, std::string &text, QString &error)
    {
        statement->reset();
        if (!statement->bind(1, Value(id))) {
            error = QString::fromStdString(statement->lastError().text);
            return false;
        }
        Statement::Step step;
        while ((step = statement->step()) == Statement::Step::Row) {
            text += '<';
            text += block;
            text += ">\r\n";
            WriteFields(text);
            text += "</";
            text += block;
            text += ">\r\n";
        }
        if (step == Statement::Step::Error) {
            error = QString::fromStdString(statement->lastError().text);
            return false;
        }
        return true;
    }
};

} // namespace

bool EasyXMLFromDataSet(
    Connection &payroll, bool all, const std::vector<int> &ids, std::string &text, QString &error)
{
    BlockQuery main;
    BlockQuery columns;
    BlockQuery params;
    if (!main.Prepare(payroll,
            all ? "select * from _iptblEasyEnquiry order by idEnquiry"
                : "select * from _iptblEasyEnquiry where idEnquiry = ?",
            kRecordRules, error)
        || !columns.Prepare(payroll,
            "select * from _iptblEasyEnquiryColumn where iEnquiryID = ? order by idEnquiryColumn",
            kColumnRules, error)
        || !params.Prepare(payroll,
            "select * from _iptblEasyEnquiryParam where iEnquiryID = ? order by idEnquiryParam",
            kParamRules, error))
        return false;
    text.clear();
    text += ("<?xml version = \"1.0\" ?>\r\n<RecordSet tablename=\"qryEasyEnquiry\">\r\n");
    const char *columnBlock = "ColumnRecord";
    const char *paramBlock = "ParameterRecord";
    // One pass over every row, or one selection per id asked for.
    const std::size_t passes = all ? 1 : ids.size();
    for (std::size_t pass = 0; pass < passes; ++pass) {
        Statement &rows = *main.statement;
        rows.reset();
        if (!all && !rows.bind(1, Value(std::int64_t(ids[pass])))) {
            error = QString::fromStdString(rows.lastError().text);
            return false;
        }
        Statement::Step step;
        while ((step = rows.step()) == Statement::Step::Row) {
            text += "<Record>\r\n";
            const std::int64_t id = main.idColumn >= 0 ? rows.asInt64(main.idColumn) : 0;
            main.WriteFields(text);
            if (!columns.WriteBlocks(id, columnBlock, text, error)
                || !params.WriteBlocks(id, paramBlock, text, error))
                return false;
            text += "</Record>\r\n";
        }
        if (step == Statement::Step::Error) {
            error = QString::fromStdString(rows.lastError().text);
            return false;
        }
    }
    text += "</RecordSet>\r\n";
    return true;
}

QByteArray EncodeSimpleXmlFile(const std::string &utf8)
{
    // Text in ASCII is the same in both encodings: most files need no conversion at all.
    if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; }))
        return QByteArray(utf8.data(), qsizetype(utf8.size()));
    const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    if (auto bytes = Windows1252::encode(text))
        return *bytes;
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}
