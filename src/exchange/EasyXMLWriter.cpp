#include "exchange/EasyXMLWriter.h"

#include "exchange/FieldTextForm.h"
#include "exchange/Windows1252.h"
#include "host/core/Utf8Text.h"
#include "host/core/Utilities.h"
#include "host/db/engine/Connection.h"
#include "store/SchemaNames.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
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

// `bytes` as base64 on one line into `out`.
void AppendBase64(std::string_view bytes, std::string &out)
{
    static const char kDigits[]
        = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    out.clear();
    out.reserve((bytes.size() + 2) / 3 * 4);
    const auto *in = reinterpret_cast<const unsigned char *>(bytes.data());
    std::size_t at = 0;
    for (; at + 3 <= bytes.size(); at += 3) {
        const std::uint32_t n = (in[at] << 16) | (in[at + 1] << 8) | in[at + 2];
        out += kDigits[n >> 18];
        out += kDigits[(n >> 12) & 63];
        out += kDigits[(n >> 6) & 63];
        out += kDigits[n & 63];
    }
    if (const std::size_t left = bytes.size() - at) {
        const std::uint32_t n = (in[at] << 16) | (left == 2 ? in[at + 1] << 8 : 0);
        out += kDigits[n >> 18];
        out += kDigits[(n >> 12) & 63];
        out += left == 2 ? kDigits[(n >> 6) & 63] : '=';
        out += '=';
    }
}

bool Contains(const std::vector<std::string> &names, const std::string &name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// A compiled statement with what the writer needs of its result columns.
struct BlockQuery
{
    std::unique_ptr<Statement> statement;
    std::vector<std::string> names;
    std::vector<std::string> opening; // "<name>", per column
    std::vector<std::string> closing; // "</name>" and the line break
    std::vector<FieldType> types;
    std::vector<Escape> escapes;
    int idColumn = -1; // the record's own id (main rows only)
    int ownerColumn = -1; // the IQ a column or parameter row belongs to
    std::string value; // reused for every field
    std::vector<Cell> cells; // the current row

    bool Prepare(
        Connection &connection, const std::string &sql, const BlockRules &rules, QString &error)
    {
        statement = connection.prepare(sql);
        if (!statement) {
            error = QString::fromStdString(connection.lastError().text);
            return false;
        }
        for (int c = 0; c < statement->columnCount(); ++c) {
            // The file's tags are the schema's names, whatever case the engine answers in.
            const std::string name = SchemaSpelling(statement->columnName(c));
            names.push_back(name);
            types.push_back(statement->declaredType(c));
            if (name == "idEnquiry")
                idColumn = c;
            if (name == "iEnquiryID")
                ownerColumn = c;
            escapes.push_back(Contains(rules.skipped, name) ? Escape::None
                    : Contains(rules.escaped, name)         ? Escape::Full
                                                            : Escape::LessThan);
            if (Contains(rules.skipped, name))
                names.back().clear(); // never written
            opening.push_back('<' + names.back() + '>');
            closing.push_back("</" + names.back() + ">\r\n");
        }
        return true;
    }

    // The field lines of the current row, read in one call. Texts, whole numbers and binary
    // values are written straight from the engine's row; the rest take their text form.
    void WriteFields(std::string &text)
    {
        cells.resize(names.size());
        const int read = statement->readRow(cells.data(), int(cells.size()));
        for (int c = 0; c < read; ++c) {
            const Cell &cell = cells[c];
            if (names[c].empty() || cell.kind == Cell::Kind::Null)
                continue;
            std::string_view view;
            if (cell.kind == Cell::Kind::Text && isTextType(types[c])) {
                view = cell.bytes();
            } else if (cell.kind == Cell::Kind::Integer
                && (types[c] == FieldType::Integer || types[c] == FieldType::Float)) {
                char digits[24];
                view = { digits,
                    std::size_t(
                        std::to_chars(digits, digits + sizeof digits, cell.integer).ptr - digits) };
                AppendField(text, c, view);
                continue;
            } else if (cell.kind == Cell::Kind::Integer && types[c] == FieldType::Boolean) {
                view = cell.integer != 0 ? "True" : "False";
            } else if (cell.kind == Cell::Kind::Blob && types[c] == FieldType::Blob) {
                AppendBase64(cell.bytes(), value);
                view = value;
            } else {
                FieldTextForm::write(*statement, c, types[c], value);
                view = value;
            }
            AppendField(text, c, view);
        }
    }

    // One field line, unless the value is empty.
    void AppendField(std::string &text, int c, std::string_view view)
    {
        if (view.empty())
            return;
        text += opening[c];
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
        text += closing[c];
    }

    // The current row as a block named `block`.
    void WriteBlock(const char *block, std::string &text)
    {
        text += '<';
        text += block;
        text += ">\r\n";
        WriteFields(text);
        text += "</";
        text += block;
        text += ">\r\n";
    }

    bool Failed(Statement::Step step, QString &error) const
    {
        if (step == Statement::Step::Error)
            error = QString::fromStdString(statement->lastError().text);
        return step == Statement::Step::Error;
    }
};

std::size_t CountEnquiries(Connection &payroll)
{
    auto count = payroll.prepare("select count(*) from _iptblEasyEnquiry");
    return count && count->step() == Statement::Step::Row ? std::size_t(count->asInt64(0)) : 0;
}

// Room for `expected` records the size of the first, so that a large file grows its buffer once
// rather than copying it at each doubling; bounded, as the first record may be unusually large.
void ReserveLike(std::string &text, std::size_t expected)
{
    constexpr std::size_t kMostReserved = std::size_t(256) << 20;
    text.reserve(std::min(text.size() * expected * 9 / 8, kMostReserved));
}

// The column or parameter rows of the IQs, as blocks named `block`: for a few IQs a selection
// per IQ. For every IQ the table is read once in id order, its stored order, without the index
// on the IQ, which looks every row up in the table apart. The blocks go into one buffer, where
// each IQ's are found by runs of rows; the rows of an edited IQ may be stored apart, in several
// runs: the runs are put in IQ order once, so no order of storage costs a second pass.
class ChildBlocks
{
public:
    ChildBlocks(const char *table, const char *idColumn, const char *block, const BlockRules &rules)
        : m_table(table)
        , m_idColumn(idColumn)
        , m_block(block)
        , m_rules(rules)
    {
    }

    // `enquiries`: how many IQs there are, when `all`.
    bool Prepare(Connection &payroll, bool all, std::size_t enquiries, QString &error)
    {
        m_all = all;
        const std::string sql = all
            ? "select * from " + m_table + " order by " + m_idColumn
            : "select * from " + m_table + " where iEnquiryID = ? order by " + m_idColumn;
        if (!m_query.Prepare(payroll, sql, m_rules, error))
            return false;
        if (m_query.ownerColumn < 0) {
            error = QStringLiteral("%1 has no iEnquiryID column.")
                        .arg(QString::fromStdString(m_table));
            return false;
        }
        return !m_all || ReadAll(enquiries, error);
    }

    // The blocks of IQ `id`; for every IQ, ids come in ascending order.
    bool Write(std::int64_t id, std::string &text, QString &error)
    {
        if (m_all) {
            while (m_nextRun < m_runs.size() && m_runs[m_nextRun].owner < id)
                ++m_nextRun;
            for (; m_nextRun < m_runs.size() && m_runs[m_nextRun].owner == id; ++m_nextRun)
                text.append(m_blocks, m_runs[m_nextRun].start, m_runs[m_nextRun].size);
            return true;
        }
        Statement &rows = *m_query.statement;
        rows.reset();
        if (!rows.bind(1, Value(id))) {
            error = QString::fromStdString(rows.lastError().text);
            return false;
        }
        Statement::Step step;
        while ((step = rows.step()) == Statement::Step::Row)
            m_query.WriteBlock(m_block, text);
        return !m_query.Failed(step, error);
    }

private:
    // Rows of one IQ stored one after another, as their blocks in m_blocks.
    struct Run
    {
        std::int64_t owner;
        std::size_t start;
        std::size_t size;
    };

    bool ReadAll(std::size_t enquiries, QString &error)
    {
        Statement &rows = *m_query.statement;
        Statement::Step step;
        while ((step = rows.step()) == Statement::Step::Row) {
            // A row without an IQ sorts first and belongs to none.
            const std::int64_t owner
                = rows.isNull(m_query.ownerColumn) ? -1 : rows.asInt64(m_query.ownerColumn);
            if (m_runs.empty() || m_runs.back().owner != owner) {
                // Grown step by step, the buffer cost more than twice the rest of the export.
                if (m_runs.size() == 1)
                    ReserveLike(m_blocks, enquiries);
                m_runs.push_back({ owner, m_blocks.size(), 0 });
            }
            m_query.WriteBlock(m_block, m_blocks);
            m_runs.back().size = m_blocks.size() - m_runs.back().start;
        }
        if (m_query.Failed(step, error))
            return false;
        // Stable: the runs of one IQ keep their id order.
        const auto byOwner = [](const Run &a, const Run &b) { return a.owner < b.owner; };
        if (!std::is_sorted(m_runs.begin(), m_runs.end(), byOwner))
            std::stable_sort(m_runs.begin(), m_runs.end(), byOwner);
        return true;
    }

    std::string m_table;
    const char *m_idColumn;
    const char *m_block;
    const BlockRules &m_rules;
    BlockQuery m_query;
    bool m_all = false;
    std::string m_blocks; // every row's block, in id order
    std::vector<Run> m_runs; // in IQ order once read
    std::size_t m_nextRun = 0;
};

} // namespace

bool EasyXMLFromDataSet(
    Connection &payroll, bool all, const std::vector<int> &ids, std::string &text, QString &error)
{
    const std::size_t expected = all ? CountEnquiries(payroll) : ids.size();
    BlockQuery main;
    ChildBlocks columns("_iptblEasyEnquiryColumn", "idEnquiryColumn", "ColumnRecord", kColumnRules);
    ChildBlocks params("_iptblEasyEnquiryParam", "idEnquiryParam", "ParameterRecord", kParamRules);
    if (!main.Prepare(payroll,
            all ? "select * from _iptblEasyEnquiry order by idEnquiry"
                : "select * from _iptblEasyEnquiry where idEnquiry = ?",
            kRecordRules, error)
        || !columns.Prepare(payroll, all, expected, error)
        || !params.Prepare(payroll, all, expected, error))
        return false;
    text.clear();
    text += ("<?xml version = \"1.0\" ?>\r\n<RecordSet tablename=\"qryEasyEnquiry\">\r\n");
    std::size_t written = 0;
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
            if (!columns.Write(id, text, error) || !params.Write(id, text, error))
                return false;
            text += "</Record>\r\n";
            if (++written == 1)
                ReserveLike(text, expected);
        }
        if (step == Statement::Step::Error) {
            error = QString::fromStdString(rows.lastError().text);
            return false;
        }
    }
    text += "</RecordSet>\r\n";
    return true;
}

std::string EncodeSimpleXmlFile(std::string utf8)
{
    // Text in ASCII is the same in both encodings: most files need no conversion, nor a copy.
    if (Utf8Text::isAscii(utf8))
        return utf8;
    const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    if (auto bytes = Windows1252::encode(text))
        return bytes->toStdString();
    return "\xEF\xBB\xBF" + text.toUtf8().toStdString();
}
