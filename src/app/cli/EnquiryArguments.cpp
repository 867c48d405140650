#include "app/cli/EnquiryArguments.h"

#include "app/cli/CliCommand.h"
#include "app/common/HostSession.h"
#include "host/core/RegIni.h"
#include "host/db/engine/Connection.h"
#include "run/ColumnLayout.h"
#include "run/EnquiryExecution.h"
#include "run/ParamValue.h"
#include "run/PrepareStatement.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>
#include <limits>
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

bool ApplyParamArguments(CliContext &context, int enquiryId, const QString &code,
    const QStringList &assignments, bool store, std::vector<ParamRow> &values)
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
    values.clear();
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
    for (const ParamEntry &entry : entries)
        values.push_back(RowFromEntry(entry));
    if (store && !StoreParamValues(*context.session->Payroll(), enquiryId, entries, error)) {
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

const QCommandLineOption &TimeoutOption()
{
    static const QCommandLineOption option(QStringLiteral("timeout"),
        QStringLiteral("Stop the IQ's statement after MINUTES (fractions allowed, e.g. 0.5; 0: no "
                       "limit). Default: the system value \"IQ Report Timeout (Minutes)\" when "
                       "above 0, else %1 minutes. A time-out is not retried.")
            .arg(kUnattendedTimeoutMinutes),
        QStringLiteral("MINUTES"));
    return option;
}

bool ReadTimeoutSeconds(CliContext &context, int &seconds)
{
    if (!context.parser.isSet(TimeoutOption())) {
        const int configured = GetTimeoutSeconds();
        seconds = configured > 0 ? configured : kUnattendedTimeoutMinutes * 60;
        return true;
    }
    const QString text = context.parser.value(TimeoutOption());
    bool ok = false;
    const double minutes = text.trimmed().toDouble(&ok);
    constexpr double kMostMinutes = std::numeric_limits<int>::max() / 60;
    if (!ok || !std::isfinite(minutes) || minutes < 0 || minutes > kMostMinutes) {
        context.err << "corvane-iq: --timeout takes a number of minutes of 0 or more (0: no "
                       "limit), not \""
                    << text << "\".\n";
        return false;
    }
    const qint64 milliseconds = std::llround(minutes * 60000);
    seconds = minutes == 0 ? 0 : int(std::max<qint64>(1, (milliseconds + 999) / 1000));
    return true;
}

bool ResultWindowLayout(CliContext &context, const QStringList &fields, const TqryIPEasyEnquiry &iq,
    ColumnLayout &layout, QString &error)
{
    std::vector<NamedColumn> rows;
    if (!ReadColumnRows(*context.session->Payroll(), iq.GetIDEnquiry(), rows, error)) {
        error = "cannot read the IQ's columns: " + error;
        return false;
    }
    const QString stored
        = RegIni::ReadString("frmIPEasyEnquiryView_" + iq.GetCode(), "Field Names", QString());
    layout = BuildColumnLayout(fields, stored, rows);
    return true;
}
