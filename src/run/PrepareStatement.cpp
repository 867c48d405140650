#include "run/PrepareStatement.h"

#include "host/core/HostContext.h"
#include "host/core/SystemValues.h"
#include "host/core/TypeTables.h"
#include "host/core/Utilities.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/Connection.h"
#include "host/db/security/TSqlSecurityChecker.h"
#include "run/IPIQAgentChecking.h"
#include "run/InsertedValue.h"
#include "run/ParamValue.h"

#include <algorithm>

namespace {

const QString kTextValuesSetting = QStringLiteral("IQ Text Parameter Values");

// A value written into the statement: where it stands now, and whether a person typed it.
struct Inserted
{
    qsizetype start;
    qsizetype length;
    bool text;
};

bool Overlaps(const std::vector<Inserted> &inserted, qsizetype start, qsizetype length)
{
    return std::any_of(inserted.begin(), inserted.end(), [&](const Inserted &value) {
        return start < value.start + value.length && value.start < start + length;
    });
}

// A stored value goes in only as the parameter dialog would have accepted it: an imported or
// planted row could hold anything, and numbers go into the statement bare.
bool StoredValueFits(const ParamRow &row, TextValues mode, QString &error)
{
    if (row.cValue && row.cValue->contains(QChar(0))) {
        error = QStringLiteral("The value of the parameter \"%1\" holds a NUL character.")
                    .arg(row.name);
        return false;
    }
    const bool bare = row.typeIndex != kSQLTypeText && row.typeIndex != kSQLTypeDate;
    if (mode == TextValues::AsTyped || !bare || !row.cValue || row.cValue->isEmpty())
        return true;
    const ParamCheck check = CheckParamValue(row.typeIndex, ParamDisplayValue(row));
    if (check.ok)
        return true;
    error = QStringLiteral("The stored value of the parameter \"%1\" cannot be used: %2. Enter "
                           "it again in the parameter dialog.")
                .arg(row.name, check.errorText);
    return false;
}

} // namespace

TextValues CurrentTextValues()
{
    const QString setting
        = GetCurrentSystemValue(kTextValuesSetting, QStringLiteral("quotes doubled"));
    return setting.trimmed().compare(QLatin1String("as typed"), Qt::CaseInsensitive) == 0
        ? TextValues::AsTyped
        : TextValues::QuotesDoubled;
}

QString ParamValueText(const ParamRow &row, TextValues mode)
{
    switch (row.typeIndex) {
    case kSQLTypeDate:
        if (!DateIsSet(row.dtValue))
            return QString();
        return QLatin1Char('\'') + DateToYYYYMMDD(*row.dtValue, false) + QLatin1Char('\'');
    case kSQLTypeText: {
        QString value = row.cValue.value_or(QString());
        if (mode == TextValues::QuotesDoubled)
            value.replace(QLatin1Char('\''), QLatin1String("''"));
        return QLatin1Char('\'') + value + QLatin1Char('\'');
    }
    default:
        return CanonicalParamText(row.typeIndex, row.cValue.value_or(QString()));
    }
}

QString SubstituteParameters(
    const QString &sql, const std::vector<ParamRow> &rows, TextValues mode, QString *error)
{
    const bool guarded = mode == TextValues::QuotesDoubled;
    QString statement = sql;
    std::vector<Inserted> inserted;
    for (const ParamRow &row : rows) {
        const QString value = ParamValueText(row, mode);
        // Markers of this name, left to right. After each replacement the search goes on after
        // the inserted value; with doubled quotes a marker inside an earlier value is part of
        // that value, not of the statement, and is passed over.
        std::vector<std::pair<qsizetype, qsizetype>> markers; // start, length
        int position = 0;
        int from = 0;
        bool bracketed = FindParameter(row.name, statement, position, from);
        while (position > 0) {
            const qsizetype start = position - 1;
            const qsizetype length = row.name.size() + (bracketed ? 3 : 1);
            from = int(start + length);
            if (guarded && Overlaps(inserted, start, length)) {
                from = int(start + 1);
            } else {
                markers.emplace_back(start, length);
                // At most one character after the marker ends the search for this name.
                if (from + 1 >= statement.size())
                    break;
            }
            bracketed = FindParameter(row.name, statement, position, from);
        }
        if (markers.empty())
            continue;
        QString result;
        qsizetype copied = 0;
        qsizetype shift = 0;
        std::vector<Inserted> moved = inserted;
        for (const auto &[start, length] : markers) {
            result += QStringView(statement).mid(copied, start - copied);
            for (std::size_t i = 0; i < inserted.size(); ++i) {
                if (inserted[i].start >= copied && inserted[i].start < start)
                    moved[i].start = inserted[i].start + shift;
            }
            moved.push_back({ result.size(), value.size(), row.typeIndex == kSQLTypeText });
            result += value;
            shift += value.size() - length;
            copied = start + length;
        }
        for (std::size_t i = 0; i < inserted.size(); ++i) {
            if (inserted[i].start >= copied)
                moved[i].start = inserted[i].start + shift;
        }
        result += QStringView(statement).mid(copied);
        statement = result;
        inserted = std::move(moved);
    }
    if (guarded) {
        for (const Inserted &value : inserted) {
            if (value.text && !StaysOneValue(statement, value.start, value.length)) {
                if (error)
                    *error = QStringLiteral(
                        "A text parameter value cannot go into the statement where its marker "
                        "stands: inside quoted text, or in a comment that the value would end. "
                        "Move the marker out of the quotes or the comment.");
                return QString();
            }
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
    QString &error, Connection *target, const std::vector<ParamRow> *values)
{
    out.clear();
    error.clear();
    QString statement = storedSql;
    // Most IQs have no parameters: their rows are not read at all.
    if (statement.contains(QLatin1Char('@'))) {
        std::vector<ParamRow> rows;
        if (values)
            rows = *values;
        else if (!ReadParamRows(payroll, enquiryId, false, rows, error))
            return false;
        const TextValues mode = CurrentTextValues();
        for (const ParamRow &row : rows) {
            if (!StoredValueFits(row, mode, error))
                return false;
        }
        statement = SubstituteParameters(statement, rows, mode, &error);
        if (!error.isEmpty())
            return false;
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
