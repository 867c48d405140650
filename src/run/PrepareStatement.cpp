#include "run/PrepareStatement.h"

#include "host/core/HostContext.h"
#include "host/core/TypeTables.h"
#include "host/core/Utilities.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/Connection.h"
#include "host/db/security/TSqlSecurityChecker.h"
#include "run/IPIQAgentChecking.h"

QString ParamValueText(const ParamRow &row)
{
    switch (row.typeIndex) {
    case kSQLTypeDate:
        if (!DateIsSet(row.dtValue))
            return QString();
        return QLatin1Char('\'') + DateToYYYYMMDD(*row.dtValue, false) + QLatin1Char('\'');
    case kSQLTypeText:
        return QLatin1Char('\'') + row.cValue.value_or(QString()) + QLatin1Char('\'');
    default:
        return row.cValue.value_or(QString());
    }
}

QString SubstituteParameters(const QString &sql, const std::vector<ParamRow> &rows)
{
    QString statement = sql;
    for (const ParamRow &row : rows) {
        const QString value = ParamValueText(row);
        // The new text is built as we go; `from` is where the text after the last inserted
        // value begins in the old one, and the finder only ever looks from there.
        QString result;
        int from = 0;
        int position = 0;
        bool bracketed = FindParameter(row.name, statement, position, from);
        while (position > 0) {
            const int after = position + row.name.size() + (bracketed ? 3 : 1); // 1-based
            result += QStringView(statement).mid(from, position - 1 - from);
            result += value;
            from = after - 1;
            // At most one character after the marker ends the search for this name.
            if (after >= statement.size())
                break;
            bracketed = FindParameter(row.name, statement, position, from);
        }
        if (from > 0) { // something was replaced
            result += QStringView(statement).mid(from);
            statement = result;
        }
    }
    return statement;
}

bool ReadParamRows(
    Connection &payroll, int enquiryId, bool ordered, std::vector<ParamRow> &rows, QString &error)
{
    rows.clear();
    TQuillonADOQuery query;
    query.SetConnection(&payroll);
    QString sql = QStringLiteral("select * from _iptblEasyEnquiryParam where iEnquiryID = ")
        + QString::number(enquiryId);
    if (ordered)
        sql += QStringLiteral(" order by idEnquiryParam");
    query.SetSQL(sql);
    if (!query.Open()) {
        error = query.LastErrorText();
        return false;
    }
    const TField name = query.FieldByName(QStringLiteral("cDescription"));
    const TField type = query.FieldByName(QStringLiteral("iSQLTypeID"));
    const TField text = query.FieldByName(QStringLiteral("cValue"));
    const TField date = query.FieldByName(QStringLiteral("dtValue"));
    for (query.First(); !query.Eof(); query.Next()) {
        ParamRow row;
        row.name = name.AsString();
        row.typeIndex = type.IsNull() ? kSQLTypeBoolean : type.AsInteger();
        if (!text.IsNull())
            row.cValue = text.AsString();
        if (!date.IsNull())
            row.dtValue = date.AsDateTime();
        rows.push_back(std::move(row));
    }
    return true;
}

bool PrepareEnquirySQL(Connection &payroll, int enquiryId, const QString &storedSql, QString &out,
    QString &error, Connection *target)
{
    out.clear();
    error.clear();
    QString statement = storedSql;
    // Most IQs have no parameters: their rows are not read at all.
    if (statement.contains(QLatin1Char('@'))) {
        std::vector<ParamRow> rows;
        if (!ReadParamRows(payroll, enquiryId, false, rows, error))
            return false;
        statement = SubstituteParameters(statement, rows);
    }
    ApplyAgentFilters(statement);

    if (!target)
        target = ReportConnection(false);
    if (!target) {
        error = QStringLiteral("No report connection is open.");
        return false;
    }
    TSqlSecurityChecker checker;
    if (!checker.SecurityCheckSuccessful(*target, statement)) {
        error = QString::fromLatin1(kForbiddenText);
        return false;
    }
    out = checker.SecurityPasswordColumnCheck(statement);
    return true;
}
