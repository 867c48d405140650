#include "app/cli/CliCommand.h"
#include "app/cli/TextTable.h"

#include "app/common/HostSession.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/Connection.h"
#include "store/EnquiryStatements.h"

#include <QTextStream>

namespace {

int runList(CliContext &context)
{
    // The same statement and columns as the IQ list window, in its order (by code).
    TQuillonADOQuery query;
    query.SetConnection(context.session->Payroll());
    query.SetSQL(EnquiryListSQL() + " order by cCode");
    if (!query.Open()) {
        context.err << "corvane-iq: cannot read the IQ list: " << query.LastErrorText() << "\n";
        return ExitFailure;
    }
    TextTable table({ "Code", "Description", "Company", "Frequency", "Type" });
    for (query.First(); !query.Eof(); query.Next()) {
        table.AddRow({ query.FieldByName("cCode").AsString(),
            query.FieldByName("cDescription").AsString(), query.FieldByName("cCompany").AsString(),
            query.FieldByName("cFrequency").AsString(), query.FieldByName("cType").AsString() });
    }
    table.Print(context.out);
    return ExitOk;
}

} // namespace

CliCommand ListCommand()
{
    return { "list", "Lists every IQ: code, description, company, frequency and type.", {}, {},
        true, runList };
}
