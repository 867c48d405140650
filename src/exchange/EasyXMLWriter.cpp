#include "exchange/EasyXMLWriter.h"

#include "exchange/FieldTextForm.h"
#include "exchange/Windows1252.h"
#include "host/core/Utilities.h"
#include "host/db/engine/Connection.h"

#include <memory>
#include <string>

namespace {

const QLatin1String kCrLf("\r\n");

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
    std::vector<QString> names;
    std::vector<FieldType> types;
    std::vector<Escape> escapes;
    int idColumn = -1; // the record's own id (main rows only)

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
            names.push_back(QString::fromStdString(name));
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
    void WriteFields(QString &text) const
    {
        for (int c = 0; c < int(names.size()); ++c) {
            if (names[c].isEmpty())
                continue;
            QString value = FieldTextForm::write(*statement, c, types[c]);
            if (value.isEmpty())
                continue;
            // A "<" in a value written as it is would end the value early: no reader could take
            // the file back.
            if (escapes[c] == Escape::Full)
                value = ConvertNormalTextToXMLString(value);
            else if (value.contains(u'<'))
                value.replace(QLatin1String("<"), QLatin1String("&lt;"));
            text += u'<' + names[c] + u'>' + value + QLatin1String("</") + names[c] + u'>' + kCrLf;
        }
    }

    // Each row of the sub-statement for `id` as a block named `block`.
    bool WriteBlocks(std::int64_t id, const QString &block, QString &text, QString &error)
    {
        statement->reset();
        if (!statement->bind(1, Value(id))) {
            error = QString::fromStdString(statement->lastError().text);
            return false;
        }
        Statement::Step step;
        while ((step = statement->step()) == Statement::Step::Row) {
            text += u'<' + block + u'>' + kCrLf;
            WriteFields(text);
            text += QLatin1String("</") + block + u'>' + kCrLf;
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
    Connection &payroll, bool all, const std::vector<int> &ids, QString &text, QString &error)
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
    text += QLatin1String(
        "<?xml version = \"1.0\" ?>\r\n<RecordSet tablename=\"qryEasyEnquiry\">\r\n");
    const QString columnBlock = QStringLiteral("ColumnRecord");
    const QString paramBlock = QStringLiteral("ParameterRecord");
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
            text += QLatin1String("<Record>\r\n");
            const std::int64_t id = main.idColumn >= 0 ? rows.asInt64(main.idColumn) : 0;
            main.WriteFields(text);
            if (!columns.WriteBlocks(id, columnBlock, text, error)
                || !params.WriteBlocks(id, paramBlock, text, error))
                return false;
            text += QLatin1String("</Record>\r\n");
        }
        if (step == Statement::Step::Error) {
            error = QString::fromStdString(rows.lastError().text);
            return false;
        }
    }
    text += QLatin1String("</RecordSet>\r\n");
    return true;
}

QByteArray EncodeSimpleXmlFile(const QString &text)
{
    if (auto bytes = Windows1252::encode(text))
        return *bytes;
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}
