#include "app/cli/CliCommand.h"
#include "app/cli/DefinitionJson.h"
#include "app/cli/EnquiryArguments.h"
#include "app/cli/TextTable.h"

#include "app/common/HostSession.h"
#include "edit/EnquiryEditor.h"
#include "host/core/TypeTables.h"
#include "host/db/dataset/FieldValues.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/Connection.h"
#include "host/db/engine/IsoDate.h"
#include "store/EnquiryStatements.h"
#include "store/SystemRecord.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace {

const QCommandLineOption formatOption("format",
    "text (default) or json: the definition as \"add/edit --from FILE\" reads it.", "FORMAT");

// The definition as the editor would store it again: columns as the statement returns them now.
int printJson(CliContext &context, int id, const QString &code)
{
    EnquiryEditor editor;
    QString error;
    if (!editor.Open(id, false, !IsReserved(code), error)) {
        context.err << "corvane-iq: cannot read the IQ: " << error << "\n";
        return ExitFailure;
    }
    if (!editor.Error().isEmpty())
        context.err << OneLine(editor.Error()) << "\n";
    context.out << DefinitionJson::FromEditor(*context.session->Payroll(), editor).Write();
    return ExitOk;
}

QString typeName(int index)
{
    const QStringList &names = TSQLDataTypesString();
    return index >= 0 && index < names.size() ? names[index]
                                              : QStringLiteral("(type %1)").arg(index);
}

QString paramValue(TQuillonADOQuery &rows)
{
    if (rows.FieldByName("iSQLTypeID").AsInteger() != 2)
        return rows.FieldByName("cValue").AsString();
    const TField date = rows.FieldByName("dtValue");
    if (date.IsNull())
        return {};
    const QDateTime value = date.AsDateTime();
    if (!value.isValid())
        return {};
    // The date alone at midnight, else to the second.
    return QString::fromStdString(IsoDate::format(
        FieldValues::msFromDateTime(value), FieldType::Date, IsoDate::Fraction::Never));
}

void printParameters(CliContext &context, int enquiryId)
{
    TQuillonADOQuery rows;
    rows.SetConnection(context.session->Payroll());
    rows.SetSQL(ParamRowsOrderedSQL(enquiryId));
    context.out << "\nParameters:\n";
    if (!rows.Open() || rows.IsEmpty()) {
        context.out << "  (none)\n";
        return;
    }
    TextTable table({ "  Name", "Type", "Value" });
    for (rows.First(); !rows.Eof(); rows.Next())
        table.AddRow({ "  " + rows.FieldByName("cDescription").AsString(),
            typeName(rows.FieldByName("iSQLTypeID").AsInteger()), paramValue(rows) });
    table.Print(context.out);
}

void printColumns(CliContext &context, int enquiryId)
{
    TQuillonADOQuery rows;
    rows.SetConnection(context.session->Payroll());
    rows.SetSQL(ColumnRowsSQL(enquiryId) + " order by iOrder, idEnquiryColumn");
    context.out << "\nColumns:\n";
    if (!rows.Open()) {
        context.out << "  (cannot be read: " << OneLine(rows.LastErrorText()) << ")\n";
        return;
    }
    if (rows.IsEmpty()) {
        // As the result window lays such a result out, unless the agent kept a layout of it.
        context.out << "  (none: the result window shows every column hidden; \"run "
                       "--all-columns\" writes them)\n";
        return;
    }
    TextTable table({ "  Order", "Name", "Shown" });
    for (rows.First(); !rows.Eof(); rows.Next())
        table.AddRow({ "  " + rows.FieldByName("iOrder").AsString(),
            rows.FieldByName("cColumnName").AsString(),
            rows.FieldByName("bShow").AsBoolean() ? "yes" : "no" });
    table.Print(context.out);
}

int runShow(CliContext &context)
{
    const QStringList args = context.parser.positionalArguments();
    if (args.size() != 2) {
        context.err << "corvane-iq show: give one IQ code.\n";
        return ExitUsage;
    }
    const QString code = args[1];
    TQuillonADOQuery iq;
    iq.SetConnection(context.session->Payroll());
    iq.SetTableName("_ipvEasyEnquiry");
    if (!iq.SelectRecords("cCode", code)) {
        context.err << "corvane-iq: cannot read the IQ: " << iq.LastErrorText() << "\n";
        return ExitFailure;
    }
    if (iq.IsEmpty()) {
        context.err << "corvane-iq: there is no IQ with the code \"" << code << "\".\n";
        return ExitFailure;
    }
    const int id = iq.FieldByName("idEnquiry").AsInteger();
    const QString format = context.parser.value(formatOption);
    if (format == "json")
        return printJson(context, id, iq.FieldByName("cCode").AsString());
    if (!format.isEmpty() && format != "text") {
        context.err << "corvane-iq show: --format takes text or json.\n";
        return ExitUsage;
    }
    const QStringList labels { "Code", "Description", "Database", "Company", "Frequency", "Type" };
    const QStringList fields { "cCode", "cDescription", "cDatabase", "cCompany", "cFrequency",
        "cType" };
    for (int i = 0; i < labels.size(); ++i)
        context.out << (labels[i] + ":").leftJustified(13) << iq.FieldByName(fields[i]).AsString()
                    << "\n";
    context.out << "\nSQL statement:\n" << iq.FieldByName("cSQLStatement").AsString() << "\n";
    printParameters(context, id);
    printColumns(context, id);
    return ExitOk;
}

} // namespace

CliCommand ShowCommand()
{
    return { "show", "Shows an IQ's definition with its parameter and column rows.", "CODE",
        { formatOption }, true, runShow };
}
