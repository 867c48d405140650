#pragma once

#include "host/db/dataset/TQuillonADOQuery.h"

#include <QByteArray>
#include <QString>

// Typed access to the current row of _iptblEasyEnquiry. Also runs over the list's view
// statement: the table and key stay those of the enquiry table, so edits reach the table.
class TqryIPEasyEnquiry : public TQuillonADOQuery
{
    Q_OBJECT
public:
    static constexpr const char *_IPEQIDEnquiry = "idEnquiry";
    static constexpr const char *_IPEQEnquiryCode = "cCode";
    static constexpr const char *_IPEQDescription = "cDescription";
    static constexpr const char *_IPEQSQLStatement = "cSQLStatement";
    static constexpr const char *_IPEQCommonDB = "bCommonDB";
    static constexpr const char *_IPEQPayrollCompanyID = "iPayrollCompanyID";
    static constexpr const char *_IPEQPayFrequencyID = "iPayFrequencyID";
    static constexpr const char *_IPEQIQTypeID = "iIQTypeID";
    static constexpr const char *_IPEQXColumn = "cXColumn";
    static constexpr const char *_IPEQYColumn = "cYColumn";
    static constexpr const char *_IPEQPalette = "iPalette";
    static constexpr const char *_IPEQCustomColor = "cCustomColor";
    static constexpr const char *_IPEQChartLayout = "nChartLayout";

    explicit TqryIPEasyEnquiry(QObject *parent = nullptr);

    // Reads give 0, false or the empty text when the field is null or not in the result.
    int GetIDEnquiry() const;
    QString GetCode() const;
    QString GetDescription() const;
    QString GetSQLStatement() const;
    bool GetCommonDB() const;
    int GetPayrollCompanyID() const;
    int GetIQType() const;
    QString GetXColumn() const;
    QString GetYColumn() const;
    int GetPalette() const;
    QString GetCustomColor() const;
    QByteArray GetChartLayout() const;

    // Writes go to the edit buffer (brEdit or brAppend first); false outside those states.
    // A null QString or QByteArray stores NULL; an empty but non-null one stores the empty value.
    bool SetCode(const QString &value);
    bool SetDescription(const QString &value);
    bool SetSQLStatement(const QString &value);
    bool SetCommonDB(bool value);
    bool SetPayrollCompanyID(int value);
    bool SetPayFrequencyID(int value);
    bool SetIQType(int value);
    bool SetXColumn(const QString &value);
    bool SetYColumn(const QString &value);
    bool SetPalette(int value);
    bool SetCustomColor(const QString &value);
    bool SetChartLayout(const QByteArray &value);

private:
    TField FieldNamed(const char *name) const;
    bool SetText(const char *name, const QString &value);
};
