#include "edit/EnquiryEditor.h"

#include "edit/ColumnProbe.h"
#include "edit/ParamDefinitions.h"
#include "host/core/HostContext.h"
#include "host/core/Log.h"
#include "host/core/RegIni.h"
#include "host/core/Utilities.h"
#include "host/db/engine/Connection.h"
#include "host/db/security/TSqlSecurityChecker.h"
#include "run/EnquiryChangeMessage.h"
#include "run/IPIQAgentChecking.h"
#include "run/PrepareStatement.h"
#include "store/SystemRecord.h"

namespace {

constexpr int kLogTypeEnquiryChanged = 33;

QString Text(const std::string &text)
{
    return QString::fromStdString(text);
}

Value OptionalId(const std::optional<int> &id)
{
    return id ? Value(std::int64_t(*id)) : Value();
}

std::optional<int> ReadId(const Statement &row, int column)
{
    return row.isNull(column) ? std::nullopt : std::optional<int>(int(row.asInt64(column)));
}

} // namespace

bool EnquiryEditor::Open(int enquiryId, bool doCopy, bool isEditable, QString &error)
{
    Connection *payroll = PayrollConnection();
    if (!payroll) {
        error = QStringLiteral("No payroll database is open.");
        return false;
    }
    FSourceID = enquiryId;
    FDoCopyRecord = doCopy;
    FEnquiryID = doCopy ? 0 : enquiryId;
    FIsEditable = isEditable;
    FError.clear();
    FParams.clear();
    FColumns.clear();
    FFields = {};
    FSQLStatement.clear();
    if (FSourceID <= 0) {
        FFields.iqTypeId = DefaultIQType(*payroll);
        return true;
    }
    if (!LoadRecord(*payroll, error) || !LoadParamDefinitions(*payroll, FSourceID, FParams, error))
        return false;
    RefreshQuery(false);
    return true;
}

bool EnquiryEditor::LoadRecord(Connection &payroll, QString &error)
{
    DbError failure;
    bool found = false;
    const bool ok = payroll.forEachRow(
        "SELECT cCode, cDescription, cSQLStatement, bCommonDB, iPayrollCompanyID, "
        "iPayFrequencyID, iIQTypeID FROM _iptblEasyEnquiry WHERE idEnquiry = ?",
        { std::int64_t(FSourceID) },
        [&](const Statement &row) {
            found = true;
            FStoredCode = FFields.code = Text(std::string(row.asText(0)));
            FStoredDescription = FFields.description = Text(std::string(row.asText(1)));
            FSQLStatement = Text(std::string(row.asText(2)));
            FFields.commonDb = row.asInt64(3) != 0;
            FFields.payrollCompanyId = ReadId(row, 4);
            FFields.payFrequencyId = ReadId(row, 5);
            FFields.iqTypeId = ReadId(row, 6);
            return false;
        },
        failure);
    if (!ok)
        error = Text(failure.text);
    else if (!found)
        error = QStringLiteral("There is no IQ with the id %1.").arg(FSourceID);
    return ok && found;
}

EditorMode EnquiryEditor::Mode() const
{
    if (FDoCopyRecord)
        return EditorMode::Copy;
    if (FEnquiryID == 0)
        return EditorMode::Add;
    return FIsEditable ? EditorMode::Edit : EditorMode::View;
}

bool EnquiryEditor::ChangeStatement(const QString &statement)
{
    if (statement == FSQLStatement)
        return false;
    FSQLStatement = statement;
    RefreshQuery(true);
    return true;
}

void EnquiryEditor::RefreshQuery(bool loadParam)
{
    FError.clear();
    FColumns.clear();
    QString statement = FSQLStatement;
    ApplyAgentFilters(statement);
    if (statement.isEmpty())
        return;
    const ColumnProbe probe = BuildColumnProbe(statement.toStdString());
    if (!probe.error.empty()) {
        FError = QStringLiteral("IQ Error: ") + Text(probe.error);
        return;
    }
    if (loadParam) {
        std::vector<QString> names;
        for (const std::string &name : probe.names)
            names.push_back(Text(name));
        FParams = MergeParamDefinitions(names, FParams);
    }
    Connection *report = ReportConnection(FFields.commonDb);
    Connection *payroll = PayrollConnection();
    if (!report || !payroll) {
        FError = QStringLiteral("IQ Error: No report connection is open.");
        return;
    }
    const QString probeText = Text(probe.text);
    TSqlSecurityChecker checker;
    std::vector<std::string> names;
    QString error;
    // The check's compile gives the columns; only a text that did not compile (or has no
    // columns) is compiled again, for the engine's own words.
    if (!checker.SecurityCheckSuccessful(*report, probeText, &names))
        error = QString::fromLatin1(kForbiddenText);
    else if (names.empty() && !report->describeColumns(probe.text, names))
        error = Text(report->lastError().text);
    else if (loadParam)
        FColumns = NewEditorColumns(names);
    else
        ApplyStoredColumns(*payroll, FSourceID, names, FColumns, error);
    if (!error.isEmpty())
        FError = QStringLiteral("IQ Error: ") + error;
}

QString EnquiryEditor::CheckCode(const QString &code) const
{
    Connection *payroll = PayrollConnection();
    if (!payroll)
        return QStringLiteral("No payroll database is open.");
    // Bound, and compared ignoring letter case as the unique index does.
    DbError failure;
    bool exists = false;
    const std::string sql = "SELECT 1 FROM _iptblEasyEnquiry WHERE "
        + payroll->equalsIgnoringCase("cCode") + " AND idEnquiry <> ?";
    if (!payroll->forEachRow(
            sql, { code.toStdString(), std::int64_t(FEnquiryID) },
            [&](const Statement &) {
                exists = true;
                return false;
            },
            failure))
        return Text(failure.text);
    if (exists)
        return QStringLiteral("Code already exists.");
    return CheckApostrophe(code, QString());
}

std::optional<EditorRefusal> EnquiryEditor::ValidateInformation() const
{
    const QString sqlButton = QStringLiteral("btnSQLStatement");
    const QString codeEdit = QStringLiteral("edtCode");
    if (!FError.isEmpty())
        return EditorRefusal { QString::fromLatin1(kStatementErrorsText), sqlButton };
    if (FEnquiryID == 0) {
        const QString code = FFields.code.trimmed();
        const QString codeError = CheckCode(code);
        if (!codeError.isEmpty())
            return EditorRefusal { codeError, codeEdit };
        if (code.isEmpty())
            return EditorRefusal { QStringLiteral("The Code may not be blank."), codeEdit };
        if (IsReserved(code))
            return EditorRefusal { QStringLiteral("You cannot add the reserved IQ! The code can "
                                                  "not begin with \"IQ\"!"),
                codeEdit };
    }
    if (FSQLStatement.isEmpty())
        return EditorRefusal { QStringLiteral("SQL Statement can not be empty!"), sqlButton };
    return std::nullopt;
}

bool EnquiryEditor::WriteRecord(Connection &payroll, int &id, QString &error) const
{
    DbError failure;
    std::optional<int> type = FFields.iqTypeId;
    const QString newType = FFields.newIQType.trimmed();
    if (!newType.isEmpty()) {
        type.reset();
        if (!payroll.forEachRow(
                "SELECT idIQType FROM _iptblIQTypes WHERE " + payroll.equalsIgnoringCase("cIQType"),
                { newType.toStdString() },
                [&](const Statement &row) {
                    type = int(row.asInt64(0));
                    return false;
                },
                failure)
            || (!type
                && !payroll.run("INSERT INTO _iptblIQTypes (cIQType) VALUES (?)",
                    { newType.toStdString() }, failure))) {
            error = Text(failure.text);
            return false;
        }
        if (!type)
            type = int(payroll.lastInsertId());
    }
    // An existing IQ keeps its code; its chart settings go, as they may name columns it lost.
    const bool existing = FEnquiryID > 0;
    const QString code = existing ? FStoredCode : FFields.code.trimmed();
    const std::vector<Value> values { code.toStdString(),
        FFields.description.trimmed().toStdString(), FSQLStatement.toStdString(),
        OptionalId(FFields.payrollCompanyId), std::int64_t(FFields.commonDb ? 1 : 0),
        OptionalId(type), OptionalId(FFields.payFrequencyId) };
    if (existing) {
        std::vector<Value> bound = values;
        bound.push_back(std::int64_t(FEnquiryID));
        const bool ok = payroll.run(
            "UPDATE _iptblEasyEnquiry SET cXColumn = NULL, cYColumn = NULL, nChartLayout = NULL, "
            "iPalette = NULL, cCustomColor = '', cCode = ?, cDescription = ?, cSQLStatement = ?, "
            "iPayrollCompanyID = ?, bCommonDB = ?, iIQTypeID = ?, iPayFrequencyID = ? "
            "WHERE idEnquiry = ?",
            bound, failure);
        if (ok && payroll.changes() == 0)
            failure.text = "The IQ no longer exists.";
        if (!ok || payroll.changes() == 0) {
            error = Text(failure.text);
            return false;
        }
        id = FEnquiryID;
        return true;
    }
    if (!payroll.run("INSERT INTO _iptblEasyEnquiry (cCode, cDescription, cSQLStatement, "
                     "iPayrollCompanyID, bCommonDB, iIQTypeID, iPayFrequencyID) "
                     "VALUES (?, ?, ?, ?, ?, ?, ?)",
            values, failure)) {
        error = Text(failure.text);
        return false;
    }
    id = int(payroll.lastInsertId());
    return true;
}

bool EnquiryEditor::SaveRecord(QString &error)
{
    Connection *payroll = PayrollConnection();
    if (!payroll) {
        error = QStringLiteral("No payroll database is open.");
        return false;
    }
    // Beyond the three separate posts of old: a failure anywhere keeps the old definition whole.
    Transaction transaction(*payroll);
    if (!transaction.started()) {
        error = Text(payroll->lastError().text);
        return false;
    }
    int id = 0;
    const bool existing = FEnquiryID > 0;
    if (!WriteRecord(*payroll, id, error)
        || !SaveParamDefinitions(*payroll, id, existing, FParams, error)
        || !SaveEditorColumns(*payroll, id, existing, FColumns, error))
        return false;
    if (!transaction.commit()) {
        error = Text(payroll->lastError().text);
        return false;
    }
    FSavedID = id;
    const QString code = existing ? FStoredCode : FFields.code.trimmed();
    PostEasyEnquiryChanged(id);
    AddToLog(QStringLiteral("Enquiry \"") + code
            + (existing ? QStringLiteral("\" Changed") : QStringLiteral("\" Added")),
        kLogTypeEnquiryChanged, kSeverityInfo);
    // The next run lays the result grid out from the columns just saved.
    RegIni::EraseSection(QStringLiteral("frmIPEasyEnquiryView_") + code);
    return true;
}

std::optional<int> DefaultIQType(Connection &payroll)
{
    DbError failure;
    int count = 0;
    payroll.forEachRow(
        "SELECT count(*) FROM _iptblIQTypes", {},
        [&](const Statement &row) {
            count = int(row.asInt64(0));
            return false;
        },
        failure);
    if (count < 1)
        return std::nullopt;
    std::optional<int> payrollType;
    payroll.forEachRow(
        "SELECT min(idIQType) FROM _iptblIQTypes WHERE idIQType BETWEEN 1 AND ? AND "
        "cIQType = 'Payroll'",
        { std::int64_t(count) },
        [&](const Statement &row) {
            payrollType = ReadId(row, 0);
            return false;
        },
        failure);
    return payrollType ? payrollType : std::optional<int>(count);
}
