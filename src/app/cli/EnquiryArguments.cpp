#include "app/cli/EnquiryArguments.h"

#include "app/cli/CliCommand.h"
#include "app/common/HostSession.h"
#include "host/db/engine/SqliteConnection.h"
#include "run/ParamValue.h"
#include "run/PrepareStatement.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QRegularExpression>
#include <QTextStream>

#include <map>

bool SelectEnquiryByCode(CliContext &context, const QString &code, TqryIPEasyEnquiry &iq)
{
    iq.SetConnection(context.session->Payroll());
    if (!iq.SelectRecords(TqryIPEasyEnquiry::_IPEQEnquiryCode, code)) {
        context.err << "corvane-iq: cannot read the IQ: " << iq.LastErrorText() << "\n";
        return false;
    }
    if (iq.IsEmpty()) {
        context.err << "corvane-iq: there is no IQ with the code \"" << code << "\".\n";
        return false;
    }
    return true;
}

bool ApplyParamArguments(
    CliContext &context, int enquiryId, const QString &code, const QStringList &assignments)
{
    std::map<QString, QString> given;
    for (const QString &assignment : assignments) {
        const int at = assignment.indexOf('=');
        if (at <= 0) {
            context.err << "corvane-iq: --param takes NAME=VALUE, not \"" << assignment << "\".\n";
            return false;
        }
        given[assignment.left(at)] = assignment.mid(at + 1);
    }
    std::vector<ParamRow> rows;
    QString error;
    if (!ReadParamRows(*context.session->Payroll(), enquiryId, true, rows, error)) {
        context.err << "corvane-iq: cannot read the parameters: " << error << "\n";
        return false;
    }
    if (rows.empty() && given.empty())
        return true;
    std::vector<ParamEntry> entries;
    for (const ParamRow &row : rows) {
        ParamEntry entry = EntryFromRow(row);
        const auto found = given.find(row.name);
        if (found != given.end()) {
            entry.value = found->second;
            given.erase(found);
        }
        entries.push_back(entry);
    }
    if (!given.empty()) {
        context.err << "corvane-iq: the IQ \"" << code << "\" has no parameter \""
                    << given.begin()->first << "\".\n";
        return false;
    }
    QString message;
    int failedRow = -1;
    if (!ValidateParamEntries(entries, message, failedRow)) {
        context.err << "corvane-iq: parameter \"" << entries[failedRow].name
                    << "\": " << OneLine(message) << "\n";
        return false;
    }
    if (!StoreParamValues(*context.session->Payroll(), enquiryId, entries, error)) {
        context.err << "corvane-iq: cannot store the parameter values: " << error << "\n";
        return false;
    }
    return true;
}

QString OneLine(const QString &text)
{
    static const QRegularExpression breaks(QStringLiteral("[\\r\\n]+"));
    return text.split(breaks, Qt::SkipEmptyParts).join(' ').simplified();
}
