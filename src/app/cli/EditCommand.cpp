#include "app/cli/CliCommand.h"
#include "app/cli/DefinitionJson.h"
#include "app/cli/EnquiryArguments.h"

#include "app/common/HostSession.h"
#include "edit/EnquiryEditor.h"
#include "edit/StatementWords.h"
#include "host/core/Agent.h"
#include "host/core/TypeTables.h"
#include "host/db/engine/Connection.h"
#include "run/ParamValue.h"
#include "store/SystemRecord.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QCommandLineParser>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

enum class Kind { Add, Edit, Copy };

const QCommandLineOption codeOption("code", "The IQ's code (at most 10 characters).", "CODE");
const QCommandLineOption descriptionOption(
    "description", "The description (at most 100 characters).", "TEXT");
const QCommandLineOption sqlOption("sql", "The SQL statement (administrators only).", "TEXT");
const QCommandLineOption sqlFileOption(
    "sql-file", "The SQL statement from FILE, or \"-\" for standard input.", "FILE");
const QCommandLineOption databaseOption(
    "database", "Where the statement runs: payroll or common.", "payroll|common");
const QCommandLineOption companyOption(
    "company", "The payroll company's code (empty: none).", "CODE");
const QCommandLineOption frequencyOption(
    "frequency", "The pay frequency's code (empty: none).", "CODE");
const QCommandLineOption typeOption(
    "type", "The IQ type's name; a new name adds the type when the IQ is saved.", "NAME");
const QCommandLineOption paramOption("param",
    "A parameter's type and default (administrators only); repeat for each. TYPE is one of "
    "boolean, text, date, decimal, integer.",
    "NAME=TYPE[:DEFAULT]");
const QCommandLineOption columnsOption(
    "columns", "The columns shown, in this order; the others are hidden after them.", "NAME,...");
const QCommandLineOption fromOption("from",
    "Start from the definition in FILE, as \"show --format json\" prints it; options override it.",
    "FILE");
const QCommandLineOption dryRunOption(
    "dry-run", "Check everything and print what would be stored; store nothing.");

class EditRun
{
public:
    EditRun(CliContext &context, Kind kind)
        : m_context(context)
        , m_kind(kind)
    {
    }
    int Run();

private:
    // A line of our own, for input the windows cannot even take.
    bool Fail(const QString &text)
    {
        m_context.err << "corvane-iq: " << OneLine(text) << "\n";
        return false;
    }
    // A refusal the windows show: their text exactly, as the other refusals print it.
    bool Refuse(const QString &text)
    {
        m_context.err << OneLine(text) << "\n";
        return false;
    }
    bool OpenEditor();
    bool ReadDefinition();
    bool ApplyFields();
    bool ApplyStatement();
    bool ApplyParams();
    bool ApplyColumns();
    bool Lookup(const char *sql, const QString &code, const char *what, std::optional<int> &id);
    bool SystemRecordRefusal(bool changed);

    CliContext &m_context;
    Kind m_kind;
    EnquiryEditor m_editor;
    DefinitionJson m_definition;
};

bool EditRun::OpenEditor()
{
    const QStringList args = m_context.parser.positionalArguments();
    const int wanted = m_kind == Kind::Add ? 1 : 2;
    if (args.size() != wanted) {
        return Fail(m_kind == Kind::Add ? QStringLiteral("add takes no arguments; give --code.")
                                        : QStringLiteral("give one IQ code."));
    }
    QString error;
    if (m_kind == Kind::Add)
        return m_editor.Open(0, false, true, error) || Fail(error);
    TqryIPEasyEnquiry iq;
    if (!SelectEnquiryByCode(m_context, args[1], iq))
        return false;
    // As the list opens them: a system record only to look at and arrange its columns.
    const bool editable = m_kind == Kind::Copy || !IsReserved(iq.GetCode());
    return m_editor.Open(iq.GetIDEnquiry(), m_kind == Kind::Copy, editable, error) || Fail(error);
}

bool EditRun::ReadDefinition()
{
    QCommandLineParser &parser = m_context.parser;
    if (parser.isSet(fromOption)) {
        QFile file(parser.value(fromOption));
        QString error;
        if (!file.open(QIODevice::ReadOnly))
            return Fail(
                QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
        if (!DefinitionJson::Parse(file.readAll(), m_definition, error))
            return Fail(file.fileName() + ": " + error);
    }
    const auto take = [&](const QCommandLineOption &option, std::optional<QString> &field) {
        if (parser.isSet(option))
            field = parser.value(option);
    };
    if (m_kind != Kind::Edit) // an existing IQ's code never changes
        take(codeOption, m_definition.code);
    take(descriptionOption, m_definition.description);
    take(sqlOption, m_definition.sql);
    take(databaseOption, m_definition.database);
    take(companyOption, m_definition.company);
    take(frequencyOption, m_definition.frequency);
    take(typeOption, m_definition.type);
    if (parser.isSet(sqlFileOption)) {
        QFile file(parser.value(sqlFileOption));
        const bool opened = file.fileName() == "-" ? file.open(stdin, QIODevice::ReadOnly)
                                                   : file.open(QIODevice::ReadOnly);
        if (!opened)
            return Fail(
                QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
        m_definition.sql = QString::fromUtf8(file.readAll());
    }
    return true;
}

bool EditRun::SystemRecordRefusal(bool changed)
{
    if (!changed || m_editor.IsEditable())
        return true;
    return Refuse(QStringLiteral("IQ \"%1\" is a system record and cannot be modified.")
                      .arg(m_editor.StoredCode()));
}

bool EditRun::Lookup(const char *sql, const QString &code, const char *what, std::optional<int> &id)
{
    id.reset();
    if (code.isEmpty())
        return true;
    DbError failure;
    m_context.session->Payroll()->forEachRow(
        sql, { code.toStdString() },
        [&](const Statement &row) {
            id = int(row.asInt64(0));
            return false;
        },
        failure);
    return id || Fail(QStringLiteral("there is no %1 with the code \"%2\".").arg(what, code));
}

bool EditRun::ApplyFields()
{
    EnquiryFields &fields = m_editor.Fields();
    EnquiryFields wanted = fields;
    const DefinitionJson &d = m_definition;
    if (d.code && m_kind == Kind::Edit && d.code->trimmed() != m_editor.StoredCode())
        return Fail(QStringLiteral("the code of an existing IQ does not change; copy it instead."));
    if (d.code && m_kind != Kind::Edit)
        wanted.code = *d.code;
    if (wanted.code.trimmed().size() > 10)
        return Fail(QStringLiteral("a code has at most 10 characters."));
    if (d.description)
        wanted.description = *d.description;
    if (wanted.description.trimmed().size() > 100)
        return Fail(QStringLiteral("a description has at most 100 characters."));
    if (d.database) {
        if (*d.database != "payroll" && *d.database != "common")
            return Fail(QStringLiteral("--database takes payroll or common."));
        wanted.commonDb = *d.database == "common";
    }
    if (d.company
        && !Lookup("SELECT idPayer FROM _iptblPayerGroups WHERE cCode = ?", *d.company,
            "payroll company", wanted.payrollCompanyId))
        return false;
    if (d.frequency
        && !Lookup("SELECT idPayFrequency FROM _iptblPayFrequencies WHERE cCode = ?", *d.frequency,
            "pay frequency", wanted.payFrequencyId))
        return false;
    if (d.type) {
        std::optional<int> known;
        DbError failure;
        m_context.session->Payroll()->forEachRow(
            "SELECT idIQType FROM _iptblIQTypes WHERE cIQType = ?", { d.type->toStdString() },
            [&](const Statement &row) {
                known = int(row.asInt64(0));
                return false;
            },
            failure);
        wanted.iqTypeId = known ? known : fields.iqTypeId;
        wanted.newIQType = known ? QString() : *d.type;
    }
    const bool changed = wanted.description.trimmed() != fields.description.trimmed()
        || wanted.commonDb != fields.commonDb || wanted.payrollCompanyId != fields.payrollCompanyId
        || wanted.payFrequencyId != fields.payFrequencyId || wanted.iqTypeId != fields.iqTypeId
        || !wanted.newIQType.isEmpty();
    if (!SystemRecordRefusal(changed))
        return false;
    fields = wanted;
    return true;
}

bool EditRun::ApplyStatement()
{
    if (!m_definition.sql || *m_definition.sql == m_editor.SQLStatement())
        return true;
    if (!SystemRecordRefusal(true))
        return false;
    if (!CurrentAgent() || !CurrentAgent()->IsAdministrator())
        return Fail(QStringLiteral("only an administrator may change the SQL statement."));
    const std::string refusal = ForbiddenKeywordMessage(m_definition.sql->toStdString());
    if (!refusal.empty())
        return Refuse(QString::fromStdString(refusal));
    m_editor.ChangeStatement(*m_definition.sql);
    if (!m_editor.Error().isEmpty())
        m_context.err << OneLine(m_editor.Error()) << "\n"; // OK's check refuses it below
    return true;
}

bool EditRun::ApplyParams()
{
    std::vector<DefinitionJson::Param> given
        = m_definition.parameters.value_or(std::vector<DefinitionJson::Param> {});
    for (const QString &option : m_context.parser.values(paramOption)) {
        const int equals = option.indexOf('=');
        if (equals <= 0)
            return Fail(
                QStringLiteral("--param takes NAME=TYPE[:DEFAULT], not \"%1\".").arg(option));
        const QString rest = option.mid(equals + 1);
        const int colon = rest.indexOf(':');
        given.push_back({ option.left(equals), colon < 0 ? rest : rest.left(colon),
            colon < 0 ? QString() : rest.mid(colon + 1) });
    }
    const bool fromOptions = !m_context.parser.values(paramOption).isEmpty();
    const bool administrator = CurrentAgent() && CurrentAgent()->IsAdministrator();
    for (const DefinitionJson::Param &param : given) {
        auto &params = m_editor.Params();
        const auto entry = std::find_if(params.begin(), params.end(), [&](const ParamEntry &e) {
            return e.name.compare(param.name, Qt::CaseInsensitive) == 0;
        });
        if (entry == params.end())
            return Fail(QStringLiteral("the statement has no parameter \"%1\".").arg(param.name));
        const QStringList types = TSQLDataTypesString().mid(0, 5);
        int type = -1;
        for (int i = 0; i < types.size() && type < 0; ++i)
            type = types[i].compare(param.type, Qt::CaseInsensitive) == 0 ? i : -1;
        if (!param.type.isEmpty() && type < 0)
            return Fail(QStringLiteral("\"%1\" is not a parameter type; use one of %2.")
                            .arg(param.type, types.join(", ")));
        const QString typeName = type < 0 ? QString() : types[type];
        const bool typeChanged = typeName != entry->typeName;
        const bool valueChanged = param.value != entry->value
            && !(entry->date.isValid()
                && CheckParamValue(kSQLTypeDate, param.value).date == entry->date);
        if (!typeChanged && !valueChanged)
            continue;
        if (!administrator && (fromOptions || typeChanged))
            return Fail(QStringLiteral("only an administrator may change the parameters."));
        if (typeChanged && !SystemRecordRefusal(true))
            return false;
        if (type >= 0 && !param.value.isEmpty()) {
            const ParamCheck check = CheckParamValue(type, param.value);
            if (!check.ok)
                return Fail(QStringLiteral("parameter \"%1\": %2")
                                .arg(param.name,
                                    ParamMismatchMessage(param.value, typeName, check.errorText)));
            entry->date = type == kSQLTypeDate ? check.date : QDateTime();
        } else {
            entry->date = QDateTime();
        }
        entry->typeName = typeName;
        entry->value = param.value;
    }
    return true;
}

bool EditRun::ApplyColumns()
{
    std::vector<EditorColumn> &columns = m_editor.Columns();
    const auto find = [&](const QString &name) {
        return std::find_if(columns.begin(), columns.end(),
            [&](const EditorColumn &column) { return column.name == name; });
    };
    if (m_definition.columns) {
        int maxOrder = 0;
        for (const DefinitionJson::Column &column : *m_definition.columns) {
            if (find(column.name) == columns.end())
                return Fail(QStringLiteral("the statement has no column \"%1\".").arg(column.name));
            maxOrder = std::max(maxOrder, column.order);
        }
        for (EditorColumn &column : columns) {
            const auto given = std::find_if(m_definition.columns->begin(),
                m_definition.columns->end(), [&](const auto &c) { return c.name == column.name; });
            column = given != m_definition.columns->end()
                ? EditorColumn { column.name, given->show, given->order }
                : EditorColumn { column.name, false, ++maxOrder };
        }
    }
    if (!m_context.parser.isSet(columnsOption))
        return true;
    const QStringList shown = m_context.parser.value(columnsOption).split(',', Qt::SkipEmptyParts);
    std::vector<EditorColumn> ordered;
    for (const QString &name : shown) {
        const auto column = find(name.trimmed());
        if (column == columns.end())
            return Fail(QStringLiteral("the statement has no column \"%1\".").arg(name.trimmed()));
        column->show = true;
        column->order = int(ordered.size() + 1);
        ordered.push_back(*column);
    }
    std::vector<EditorColumn *> hidden;
    for (EditorColumn &column : columns) {
        if (!shown.contains(column.name))
            hidden.push_back(&column);
    }
    std::stable_sort(hidden.begin(), hidden.end(),
        [](const EditorColumn *a, const EditorColumn *b) { return a->order < b->order; });
    int order = int(ordered.size());
    for (EditorColumn *column : hidden)
        *column = { column->name, false, ++order };
    return true;
}

int EditRun::Run()
{
    if (!OpenEditor() || !ReadDefinition() || !ApplyFields() || !ApplyStatement() || !ApplyParams()
        || !ApplyColumns())
        return ExitFailure;
    if (const auto refusal = m_editor.ValidateInformation()) {
        m_context.err << OneLine(refusal->text) << "\n";
        return ExitFailure;
    }
    if (m_context.parser.isSet(dryRunOption)) {
        m_context.out
            << DefinitionJson::FromEditor(*m_context.session->Payroll(), m_editor).Write();
        return ExitOk;
    }
    QString error;
    if (!m_editor.SaveRecord(error)) {
        Fail(QStringLiteral("the IQ was not saved: ") + error);
        return ExitFailure;
    }
    const QString code
        = m_editor.EnquiryID() > 0 ? m_editor.StoredCode() : m_editor.Fields().code.trimmed();
    m_context.out << "IQ \"" << code << "\" saved.\n";
    return ExitOk;
}

QList<QCommandLineOption> EditOptions(bool withCode)
{
    QList<QCommandLineOption> options { descriptionOption, sqlOption, sqlFileOption, databaseOption,
        companyOption, frequencyOption, typeOption, paramOption, columnsOption, fromOption,
        dryRunOption };
    if (withCode)
        options.prepend(codeOption);
    return options;
}

} // namespace

CliCommand AddCommand()
{
    return { "add", "Adds an IQ, with the editor's checks and save.", {}, EditOptions(true), true,
        [](CliContext &context) { return EditRun(context, Kind::Add).Run(); } };
}

CliCommand EditCommand()
{
    return { "edit", "Changes an IQ, with the editor's checks and save.", "CODE",
        EditOptions(false), true,
        [](CliContext &context) { return EditRun(context, Kind::Edit).Run(); } };
}

CliCommand CopyCommand()
{
    return { "copy", "Copies an IQ into a new one (--code NEW), with the editor's checks and save.",
        "CODE", EditOptions(true), true,
        [](CliContext &context) { return EditRun(context, Kind::Copy).Run(); } };
}
