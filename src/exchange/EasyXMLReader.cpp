#include "exchange/EasyXMLReader.h"

#include "exchange/FieldTextForm.h"
#include "exchange/Windows1252.h"
#include "host/core/TXMLQuickParser.h"
#include "host/core/Utf8Text.h"
#include "host/core/Utilities.h"
#include "host/db/engine/Connection.h"
#include "host/db/engine/NameFold.h"

#include <QStringDecoder>

#include <cstring>
#include <map>
#include <memory>
#include <optional>

namespace {

// The file's text is read as UTF-8 bytes; tags and values are views into it.
using Utf8 = std::string_view;

Utf8 View(QByteArrayView bytes)
{
    return Utf8(bytes.data(), std::size_t(bytes.size()));
}

// Values and tags quoted in a message are cut: a hostile file may hold a value of any size.
QString Clip(Utf8 utf8)
{
    constexpr int kShown = 80;
    const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    return text.size() <= kShown ? text : text.left(kShown) + QStringLiteral("...");
}

bool Same(Utf8 a, Utf8 b)
{
    return Utf8Text::sameIgnoringCase(a, b);
}

// "/" and `name`, letter case ignored.
bool ClosingTagOf(Utf8 tag, Utf8 name)
{
    return !tag.empty() && tag[0] == '/' && Same(tag.substr(1), name);
}

// One target table: its columns found by name (letter case ignored) and an insert statement
// per set of columns a block gives.
class TargetTable
{
public:
    TargetTable(Connection &connection, const char *table, const char *ownerColumn)
        : m_connection(connection)
        , m_table(table)
    {
        m_columns = connection.tableColumns(table);
        for (int c = 0; c < int(m_columns.size()); ++c) {
            const ColumnInfo &column = m_columns[c];
            m_names.push_back(column.name);
            m_widths.push_back(FieldTextForm::declaredWidth(column.declaredType));
            if (ownerColumn && NameFold::same(column.name, ownerColumn))
                m_owner = c;
        }
    }
    // Up to 64 columns: the set given to an insert is a bit mask.
    bool Exists() const { return !m_columns.empty() && m_columns.size() <= 64; }
    // A table has a dozen columns: a scan costs less than hashing the tag.
    int Find(Utf8 tag) const
    {
        for (int c = 0; c < int(m_names.size()); ++c) {
            if (Same(m_names[c], tag))
                return c;
        }
        return -1;
    }
    int Owner() const { return m_owner; }
    // The key is the database's to assign, and a block's owner is the record just posted: the
    // file has no say in either.
    bool Assignable(int column) const
    {
        return !m_columns[column].identity && !m_columns[column].primaryKey && column != m_owner;
    }
    int Count() const { return int(m_columns.size()); }
    FieldType Type(int column) const { return m_columns[column].type; }
    int Width(int column) const { return m_widths[column]; }

    // Inserts the values given (the others keep their defaults); the values are used up.
    bool Insert(std::vector<std::optional<Value>> &values, QString &error)
    {
        std::uint64_t given = 0;
        m_bound.clear();
        for (std::size_t c = 0; c < values.size(); ++c) {
            if (values[c]) {
                given |= std::uint64_t(1) << c;
                m_bound.push_back(std::move(*values[c]));
            }
        }
        std::unique_ptr<Statement> &statement = m_inserts[given];
        if (!statement) {
            std::string names;
            std::string marks;
            for (std::size_t c = 0; c < values.size(); ++c) {
                if (!(given & (std::uint64_t(1) << c)))
                    continue;
                names += (names.empty() ? "" : ", ") + m_columns[c].name;
                marks += marks.empty() ? "?" : ", ?";
            }
            const std::string sql = names.empty()
                ? "INSERT INTO " + m_table + " DEFAULT VALUES"
                : "INSERT INTO " + m_table + " (" + names + ") VALUES (" + marks + ")";
            statement = m_connection.prepare(sql);
            if (!statement) {
                error = QString::fromStdString(m_connection.lastError().text);
                return false;
            }
        }
        DbError failure;
        if (!statement->run(m_bound, failure)) {
            error = QString::fromStdString(failure.text);
            return false;
        }
        return true;
    }

private:
    Connection &m_connection;
    std::string m_table;
    std::vector<ColumnInfo> m_columns;
    std::vector<int> m_widths;
    std::vector<std::string> m_names;
    int m_owner = -1;
    std::map<std::uint64_t, std::unique_ptr<Statement>> m_inserts; // by the columns given
    std::vector<Value> m_bound;
};

// Which texts the writer escaped: those the reader restores whole. In every other text only the
// "&lt;" the writer put for "<" is restored.
enum class Block { Record, Column, Param };

// The restored `value` into `out`.
void Restore(Block block, Utf8 field, Utf8 value, std::string &out)
{
    const bool escaped = (block == Block::Record && field == "cSQLStatement")
        || (block == Block::Column && field == "cColumnName")
        || (block == Block::Param && (field == "cDescription" || field == "cValue"));
    out.clear();
    if (escaped) {
        AppendNormalText(out, value);
        return;
    }
    for (std::size_t at = 0;;) {
        const std::size_t found = value.find("&lt;", at);
        out += value.substr(at, found - at);
        if (found == Utf8::npos)
            return;
        out += '<';
        at = found + 4;
    }
}

class Importer
{
public:
    Importer(Connection &payroll, const QByteArray &text)
        : m_payroll(payroll)
        , m_text(text)
        , m_parser(text)
        , m_main(payroll, "_iptblEasyEnquiry", nullptr)
        , m_columns(payroll, "_iptblEasyEnquiryColumn", "iEnquiryID")
        , m_params(payroll, "_iptblEasyEnquiryParam", "iEnquiryID")
    {
    }

    // False with the outcome's error set.
    bool Run(ImportOutcome &outcome)
    {
        m_outcome = &outcome;
        if (!m_main.Exists() || !m_columns.Exists() || !m_params.Exists())
            return Fail(QStringLiteral("The database has no IQ tables."));
        m_codeExists = m_payroll.prepare("SELECT count(*) FROM _iptblEasyEnquiry WHERE "
            + m_payroll.equalsIgnoringCase("cCode"));
        if (!m_codeExists)
            return Fail(QString::fromStdString(m_payroll.lastError().text));
        // Everything outside a record block is passed over, as is the rest of a rejected
        // record; only the closing line ends the file.
        while (!AtEnd()) {
            const Utf8 tag = NextTag();
            if (Same(tag, "/RecordSet"))
                return true;
            if (Same(tag, "Record") && !ReadRecord())
                return false;
        }
        return Fail(QStringLiteral("The file ends before \"</RecordSet>\"."));
    }

private:
    bool AtEnd() const { return m_cut || m_parser.Eof(); }
    // The next tag; a tag the text ends inside counts as the end.
    Utf8 NextTag()
    {
        Utf8 tag = View(m_parser.GetNextTagView());
        const qsizetype end = m_parser.Position();
        if (end <= 0 || end > m_text.size() || m_text[end - 1] != '>') {
            m_cut = true;
            tag = Utf8();
        }
        return tag;
    }

    bool Fail(const QString &error)
    {
        m_outcome->error = error;
        return false;
    }
    bool EndsInside()
    {
        return Fail(
            QStringLiteral("The file ends inside the record of IQ Code \"%1\".").arg(Clip(m_code)));
    }
    bool RecordError(Utf8 tag, Utf8 value, const QString &reason = {})
    {
        QString text = QStringLiteral("Invalid simple XML db file for IQ Code \"%1\". Tag is "
                                      "\"%2\". Value is \"%3\".")
                           .arg(Clip(m_code), Clip(tag), Clip(value));
        return Fail(reason.isEmpty() ? text : text + u' ' + reason);
    }
    bool BlockError(Utf8 tag, Utf8 value, const QString &reason = {})
    {
        QString text = QStringLiteral("Invalid simple XML db file. Tag: %1. Value: %2.IQ Code: %3.")
                           .arg(Clip(tag), Clip(value), Clip(m_code));
        return Fail(reason.isEmpty() ? text : text + u' ' + reason);
    }

    // Restores into m_value the text of the field element whose opening tag `tag` was just
    // read; false when the tag names none of the table's fields (nothing is read for it then,
    // and m_value is emptied).
    bool ReadValue(const TargetTable &table, Block block, Utf8 tag, int &column)
    {
        column = table.Find(tag);
        if (column < 0) {
            m_value.clear();
            return false;
        }
        Restore(block, tag, View(m_parser.ReadToNextTagView()), m_value);
        return true;
    }
    // Puts a field's text into `values`; an empty text leaves the column's default. False with
    // `reason` when the column cannot hold it.
    static bool Assign(const TargetTable &table, int column, Utf8 value,
        std::vector<std::optional<Value>> &values, QString &reason)
    {
        if (column < 0 || value.empty() || !table.Assignable(column))
            return true;
        Value converted;
        if (!FieldTextForm::read(value, table.Type(column), table.Width(column), converted, reason))
            return false;
        values[column] = std::move(converted);
        return true;
    }

    bool CodeExists(const std::string &code, QString &error)
    {
        m_codeExists->reset();
        m_codeExists->bind(1, Value(code));
        const Statement::Step step = m_codeExists->step();
        if (step != Statement::Step::Row) {
            error = QString::fromStdString(m_codeExists->lastError().text);
            return false;
        }
        return m_codeExists->asInt64(0) > 0;
    }

    // The record block whose "<Record>" was just read. A rejected record returns true at once:
    // the caller's scan passes over the rest of it.
    bool ReadRecord()
    {
        m_code.clear();
        std::vector<std::optional<Value>> values(m_main.Count());
        Utf8 current;
        std::string lastValue;
        for (;;) {
            if (AtEnd())
                return EndsInside();
            const Utf8 tag = NextTag();
            if (Same(tag, "/Record") || Same(tag, "ColumnRecord") || Same(tag, "ParameterRecord")) {
                current = tag;
                break;
            }
            int column = -1;
            if (ReadValue(m_main, Block::Record, tag, column)) {
                const std::string &value = m_value;
                lastValue = value;
                if (tag == "cCode") {
                    m_code = value;
                    QString error;
                    const bool tooLong = Utf8Text::utf16Length(value) > 10;
                    const bool exists = !tooLong && CodeExists(value, error);
                    if (!error.isEmpty())
                        return Fail(error);
                    if (tooLong || exists) {
                        m_outcome->rejections
                            << QStringLiteral("IQ code \"%1\"%2")
                                   .arg(Clip(value),
                                       tooLong ? QStringLiteral(
                                           " exceeds 10 charactors! The IQ record is "
                                           "rejected.")
                                               : QStringLiteral(
                                                   " already exists! The IQ record is rejected."));
                        ++m_outcome->read;
                        return true;
                    }
                }
                QString reason;
                if (!Assign(m_main, column, value, values, reason))
                    return RecordError(tag, value, reason);
            }
            if (AtEnd())
                return EndsInside();
            if (!ClosingTagOf(NextTag(), tag))
                return RecordError(tag, lastValue);
        }
        QString error;
        if (!m_main.Insert(values, error))
            return Fail(error);
        m_lastId = int(m_payroll.lastInsertId());
        m_outcome->lastImportedId = m_lastId;
        ++m_outcome->read;
        ++m_outcome->accepted;
        while (!Same(current, "/Record")) {
            if (current.empty() && AtEnd())
                return EndsInside();
            if (Same(current, "ColumnRecord")) {
                if (!ReadBlock(m_columns, Block::Column, current))
                    return false;
            } else if (Same(current, "ParameterRecord")) {
                if (!ReadBlock(m_params, Block::Param, current))
                    return false;
            } else {
                return BlockError(current, Utf8());
            }
        }
        return true;
    }

    // A column or parameter block whose opening tag `current` was just read; `current` becomes
    // the tag after its closing tag.
    bool ReadBlock(TargetTable &table, Block block, Utf8 &current)
    {
        const Utf8 kind = current;
        std::vector<std::optional<Value>> values(table.Count());
        for (;;) {
            if (AtEnd())
                return EndsInside();
            const Utf8 tag = NextTag();
            if (ClosingTagOf(tag, kind)) {
                current = NextTag();
                break;
            }
            int column = -1;
            ReadValue(table, block, tag, column);
            QString reason;
            if (!Assign(table, column, m_value, values, reason))
                return BlockError(tag, m_value, reason);
            if (AtEnd())
                return EndsInside();
            if (!ClosingTagOf(NextTag(), tag))
                return BlockError(tag, m_value);
        }
        values[table.Owner()] = Value(std::int64_t(m_lastId));
        QString error;
        if (!table.Insert(values, error))
            return Fail(error);
        return true;
    }

    Connection &m_payroll;
    const QByteArray m_text;
    TXMLQuickParser m_parser;
    bool m_cut = false; // the text ended inside a tag
    TargetTable m_main;
    TargetTable m_columns;
    TargetTable m_params;
    std::unique_ptr<Statement> m_codeExists;
    ImportOutcome *m_outcome = nullptr;
    std::string m_code; // of the record being read, for messages
    std::string m_value; // the field just read, restored; reused for every field
    int m_lastId = 0;
};

} // namespace

bool DecodeSimpleXmlFile(QByteArray bytes, QByteArray &utf8, QString &error)
{
    utf8.clear();
    const auto refuse = [&](const char *name) {
        error = QStringLiteral("The file begins with a %1 byte-order mark, but its text is not "
                               "valid %1.")
                    .arg(QLatin1String(name));
        return false;
    };
    static const QByteArrayView kUtf8Mark = "\xEF\xBB\xBF";
    if (bytes.startsWith(kUtf8Mark)) {
        if (!QByteArrayView(bytes).sliced(kUtf8Mark.size()).isValidUtf8())
            return refuse("UTF-8");
        utf8 = std::move(bytes);
        utf8.remove(0, kUtf8Mark.size()); // a second mark stays, as the character U+FEFF
        return true;
    }
    struct Mark
    {
        QByteArrayView bytes;
        QStringConverter::Encoding encoding;
    };
    static const Mark marks[] = {
        { "\xFF\xFE", QStringConverter::Utf16LE },
        { "\xFE\xFF", QStringConverter::Utf16BE },
    };
    for (const Mark &mark : marks) {
        if (!bytes.startsWith(mark.bytes))
            continue;
        const QByteArrayView body = QByteArrayView(bytes).sliced(mark.bytes.size());
        QStringDecoder decoder(mark.encoding, QStringConverter::Flag::ConvertInitialBom);
        const QString text = decoder.decode(body);
        if (decoder.hasError() || body.size() % 2)
            return refuse("UTF-16");
        utf8 = text.toUtf8();
        return true;
    }
    // Windows-1252 in ASCII is UTF-8 already: the file's own bytes are read, not a copy.
    if (Utf8Text::isAscii(View(bytes)))
        utf8 = std::move(bytes);
    else
        utf8 = Windows1252::toUtf8(bytes);
    return true;
}

namespace {

bool HoldsMarkupDeclaration(QByteArrayView text)
{
    // "!" is rare in an IQ file, "<" is everywhere: look for the former.
    const char *begin = text.data();
    const char *end = begin + text.size();
    for (const char *at = begin; at < end; ++at) {
        at = static_cast<const char *>(std::memchr(at, '!', std::size_t(end - at)));
        if (!at)
            return false;
        if (at > begin && at[-1] == '<')
            return true;
    }
    return false;
}

} // namespace

ImportOutcome EasyDataSetFromXML(Connection &payroll, const QByteArray &utf8, bool dryRun)
{
    ImportOutcome outcome;
    // No entity is ever defined or expanded, and nothing is hidden in comments: an IQ file holds
    // none of these, so any of them marks a file made to mislead.
    if (HoldsMarkupDeclaration(utf8)) {
        outcome.error = QStringLiteral("The file holds \"<!\" markup (a document type, entity, "
                                       "comment or CDATA section), which an IQ file never holds.");
        return outcome;
    }
    Transaction transaction(payroll);
    if (!transaction.started()) {
        outcome.error = QString::fromStdString(payroll.lastError().text);
        return outcome;
    }
    Importer importer(payroll, utf8);
    if (!importer.Run(outcome))
        return outcome; // the transaction rolls back
    if (dryRun) {
        outcome.lastImportedId = 0;
        return outcome;
    }
    if (!transaction.commit()) {
        outcome.error = QString::fromStdString(payroll.lastError().text);
        payroll.rollback();
    }
    return outcome;
}
