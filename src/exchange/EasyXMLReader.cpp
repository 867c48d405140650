#include "exchange/EasyXMLReader.h"

#include "exchange/FieldTextForm.h"
#include "exchange/Windows1252.h"
#include "host/core/TXMLQuickParser.h"
#include "host/core/Utilities.h"
#include "host/db/engine/Connection.h"
#include "host/db/engine/NameFold.h"

#include <QHash>
#include <QStringDecoder>

#include <map>
#include <memory>
#include <optional>

namespace {

// Values and tags quoted in a message are cut: a hostile file may hold a value of any size.
QString Clip(const QString &text)
{
    constexpr int kShown = 80;
    return text.size() <= kShown ? text : text.left(kShown) + QStringLiteral("...");
}

bool Same(const QString &a, QLatin1String b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// "/" and `name`, letter case ignored.
bool ClosingTagOf(const QString &tag, const QString &name)
{
    return tag.size() == name.size() + 1 && tag.startsWith(u'/')
        && NameFold::same(QStringView(tag).mid(1).toString(), name);
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
            m_byName.insert(NameFold::fold(QString::fromStdString(column.name)), c);
            m_widths.push_back(FieldTextForm::declaredWidth(column.declaredType));
            if (ownerColumn && column.name == ownerColumn)
                m_owner = c;
        }
    }
    bool Exists() const { return !m_columns.empty(); }
    int Find(const QString &tag) const { return m_byName.value(NameFold::fold(tag), -1); }
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

    bool Insert(const std::vector<std::optional<Value>> &values, QString &error)
    {
        std::vector<bool> given(values.size());
        std::vector<Value> bound;
        for (std::size_t c = 0; c < values.size(); ++c) {
            given[c] = values[c].has_value();
            if (given[c])
                bound.push_back(*values[c]);
        }
        std::unique_ptr<Statement> &statement = m_inserts[given];
        if (!statement) {
            std::string names;
            std::string marks;
            for (std::size_t c = 0; c < given.size(); ++c) {
                if (!given[c])
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
        if (!statement->run(bound, failure)) {
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
    QHash<QString, int> m_byName;
    int m_owner = -1;
    std::map<std::vector<bool>, std::unique_ptr<Statement>> m_inserts;
};

// Which texts the writer escaped: those the reader restores whole. In every other text only the
// "&lt;" the writer put for "<" is restored.
enum class Block { Record, Column, Param };

QString Restore(Block block, const QString &field, const QString &value)
{
    const bool escaped = (block == Block::Record && field == u"cSQLStatement")
        || (block == Block::Column && field == u"cColumnName")
        || (block == Block::Param && (field == u"cDescription" || field == u"cValue"));
    if (escaped)
        return ConvertXMLStringToNormalText(value);
    if (!value.contains(QLatin1String("&lt;")))
        return value;
    return QString(value).replace(QLatin1String("&lt;"), QLatin1String("<"));
}

class Importer
{
public:
    Importer(Connection &payroll, const QString &text)
        : m_payroll(payroll)
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
        m_codeExists = m_payroll.prepare("SELECT count(*) FROM _iptblEasyEnquiry WHERE cCode = ?"
            + std::string(m_payroll.textCollation()));
        if (!m_codeExists)
            return Fail(QString::fromStdString(m_payroll.lastError().text));
        // Everything outside a record block is passed over, as is the rest of a rejected
        // record; only the closing line ends the file.
        while (!m_parser.Eof()) {
            const QString tag = m_parser.GetNextTag();
            if (Same(tag, QLatin1String("/RecordSet")))
                return true;
            if (Same(tag, QLatin1String("Record")) && !ReadRecord())
                return false;
        }
        return Fail(QStringLiteral("The file ends before \"</RecordSet>\"."));
    }

private:
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
    bool RecordError(const QString &tag, const QString &value, const QString &reason = {})
    {
        QString text = QStringLiteral("Invalid simple XML db file for IQ Code \"%1\". Tag is "
                                      "\"%2\". Value is \"%3\".")
                           .arg(Clip(m_code), Clip(tag), Clip(value));
        return Fail(reason.isEmpty() ? text : text + u' ' + reason);
    }
    bool BlockError(const QString &tag, const QString &value, const QString &reason = {})
    {
        QString text = QStringLiteral("Invalid simple XML db file. Tag: %1. Value: %2.IQ Code: %3.")
                           .arg(Clip(tag), Clip(value), Clip(m_code));
        return Fail(reason.isEmpty() ? text : text + u' ' + reason);
    }

    // The text of the field element whose opening tag `tag` was just read, restored, or nullopt
    // when the tag names none of the table's fields (nothing is read for it then).
    std::optional<QString> ReadValue(const TargetTable &table, Block block, const QString &tag)
    {
        if (table.Find(tag) < 0)
            return std::nullopt;
        return Restore(block, tag, m_parser.ReadToNextTag());
    }
    // Puts a field's text into `values`; an empty text leaves the column's default. False with
    // `reason` when the column cannot hold it.
    static bool Assign(const TargetTable &table, const QString &tag, const QString &value,
        std::vector<std::optional<Value>> &values, QString &reason)
    {
        const int column = table.Find(tag);
        if (value.isEmpty() || !table.Assignable(column))
            return true;
        Value converted;
        if (!FieldTextForm::read(value, table.Type(column), table.Width(column), converted, reason))
            return false;
        values[column] = std::move(converted);
        return true;
    }

    bool CodeExists(const QString &code, QString &error)
    {
        m_codeExists->reset();
        m_codeExists->bind(1, Value(code.toStdString()));
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
        QString current;
        QString lastValue;
        for (;;) {
            if (m_parser.Eof())
                return EndsInside();
            const QString tag = m_parser.GetNextTag();
            if (Same(tag, QLatin1String("/Record")) || Same(tag, QLatin1String("ColumnRecord"))
                || Same(tag, QLatin1String("ParameterRecord"))) {
                current = tag;
                break;
            }
            const std::optional<QString> value = ReadValue(m_main, Block::Record, tag);
            if (value) {
                lastValue = *value;
                if (tag == u"cCode") {
                    m_code = *value;
                    QString error;
                    const bool tooLong = value->size() > 10;
                    const bool exists = !tooLong && CodeExists(*value, error);
                    if (!error.isEmpty())
                        return Fail(error);
                    if (tooLong || exists) {
                        m_outcome->rejections
                            << QStringLiteral("IQ code \"%1\"%2")
                                   .arg(Clip(*value),
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
                if (!Assign(m_main, tag, *value, values, reason))
                    return RecordError(tag, *value, reason);
            }
            if (m_parser.Eof())
                return EndsInside();
            if (!ClosingTagOf(m_parser.GetNextTag(), tag))
                return RecordError(tag, lastValue);
        }
        QString error;
        if (!m_main.Insert(values, error))
            return Fail(error);
        m_lastId = int(m_payroll.lastInsertId());
        m_outcome->lastImportedId = m_lastId;
        ++m_outcome->read;
        ++m_outcome->accepted;
        while (!Same(current, QLatin1String("/Record"))) {
            if (current.isEmpty() && m_parser.Eof())
                return EndsInside();
            if (Same(current, QLatin1String("ColumnRecord"))) {
                if (!ReadBlock(m_columns, Block::Column, current))
                    return false;
            } else if (Same(current, QLatin1String("ParameterRecord"))) {
                if (!ReadBlock(m_params, Block::Param, current))
                    return false;
            } else {
                return BlockError(current, QString());
            }
        }
        return true;
    }

    // A column or parameter block whose opening tag `current` was just read; `current` becomes
    // the tag after its closing tag.
    bool ReadBlock(TargetTable &table, Block block, QString &current)
    {
        const QString kind = current;
        std::vector<std::optional<Value>> values(table.Count());
        for (;;) {
            if (m_parser.Eof())
                return EndsInside();
            const QString tag = m_parser.GetNextTag();
            if (ClosingTagOf(tag, kind)) {
                current = m_parser.GetNextTag();
                break;
            }
            const QString value = ReadValue(table, block, tag).value_or(QString());
            QString reason;
            if (!Assign(table, tag, value, values, reason))
                return BlockError(tag, value, reason);
            if (m_parser.Eof())
                return EndsInside();
            if (!ClosingTagOf(m_parser.GetNextTag(), tag))
                return BlockError(tag, value);
        }
        values[table.Owner()] = Value(std::int64_t(m_lastId));
        QString error;
        if (!table.Insert(values, error))
            return Fail(error);
        return true;
    }

    Connection &m_payroll;
    TXMLQuickParser m_parser;
    TargetTable m_main;
    TargetTable m_columns;
    TargetTable m_params;
    std::unique_ptr<Statement> m_codeExists;
    ImportOutcome *m_outcome = nullptr;
    QString m_code; // of the record being read, for messages
    int m_lastId = 0;
};

} // namespace

bool DecodeSimpleXmlFile(const QByteArray &bytes, QString &text, QString &error)
{
    struct Mark
    {
        QByteArrayView bytes;
        QStringConverter::Encoding encoding;
        const char *name;
    };
    static const Mark marks[] = {
        { "\xEF\xBB\xBF", QStringConverter::Utf8, "UTF-8" },
        { "\xFF\xFE", QStringConverter::Utf16LE, "UTF-16" },
        { "\xFE\xFF", QStringConverter::Utf16BE, "UTF-16" },
    };
    for (const Mark &mark : marks) {
        if (!bytes.startsWith(mark.bytes))
            continue;
        const QByteArrayView body = QByteArrayView(bytes).sliced(mark.bytes.size());
        QStringDecoder decoder(mark.encoding, QStringConverter::Flag::ConvertInitialBom);
        text = decoder.decode(body);
        if (decoder.hasError() || (mark.encoding != QStringConverter::Utf8 && body.size() % 2)) {
            text.clear();
            error = QStringLiteral("The file begins with a %1 byte-order mark, but its text is "
                                   "not valid %1.")
                        .arg(QLatin1String(mark.name));
            return false;
        }
        return true;
    }
    text = Windows1252::decode(bytes);
    return true;
}

ImportOutcome EasyDataSetFromXML(Connection &payroll, const QString &text, bool dryRun)
{
    ImportOutcome outcome;
    // No entity is ever defined or expanded, and nothing is hidden in comments: an IQ file holds
    // none of these, so any of them marks a file made to mislead.
    if (text.contains(QLatin1String("<!"))) {
        outcome.error = QStringLiteral("The file holds \"<!\" markup (a document type, entity, "
                                       "comment or CDATA section), which an IQ file never holds.");
        return outcome;
    }
    Transaction transaction(payroll);
    if (!transaction.started()) {
        outcome.error = QString::fromStdString(payroll.lastError().text);
        return outcome;
    }
    Importer importer(payroll, text);
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
