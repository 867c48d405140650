#include "store/TqryIPEasyEnquiry.h"

TqryIPEasyEnquiry::TqryIPEasyEnquiry(QObject *parent)
    : TQuillonADOQuery(parent)
{
    SetTableName(QStringLiteral("_iptblEasyEnquiry"));
    SetKeyField(QString::fromLatin1(_IPEQIDEnquiry));
}

TField TqryIPEasyEnquiry::FieldNamed(const char *name) const
{
    // TField reads through the data set; reading never changes it.
    auto *self = const_cast<TqryIPEasyEnquiry *>(this);
    return self->FieldByName(QString::fromLatin1(name));
}

int TqryIPEasyEnquiry::GetIDEnquiry() const
{
    return FieldNamed(_IPEQIDEnquiry).AsInteger();
}

QString TqryIPEasyEnquiry::GetCode() const
{
    return FieldNamed(_IPEQEnquiryCode).AsString();
}

QString TqryIPEasyEnquiry::GetDescription() const
{
    return FieldNamed(_IPEQDescription).AsString();
}

QString TqryIPEasyEnquiry::GetSQLStatement() const
{
    return FieldNamed(_IPEQSQLStatement).AsString();
}

bool TqryIPEasyEnquiry::GetCommonDB() const
{
    return FieldNamed(_IPEQCommonDB).AsBoolean();
}

int TqryIPEasyEnquiry::GetPayrollCompanyID() const
{
    return FieldNamed(_IPEQPayrollCompanyID).AsInteger();
}

int TqryIPEasyEnquiry::GetIQType() const
{
    return FieldNamed(_IPEQIQTypeID).AsInteger();
}

QString TqryIPEasyEnquiry::GetXColumn() const
{
    return FieldNamed(_IPEQXColumn).AsString();
}

QString TqryIPEasyEnquiry::GetYColumn() const
{
    return FieldNamed(_IPEQYColumn).AsString();
}

int TqryIPEasyEnquiry::GetPalette() const
{
    return FieldNamed(_IPEQPalette).AsInteger();
}

QString TqryIPEasyEnquiry::GetCustomColor() const
{
    return FieldNamed(_IPEQCustomColor).AsString();
}

QByteArray TqryIPEasyEnquiry::GetChartLayout() const
{
    return FieldNamed(_IPEQChartLayout).AsBytes();
}

bool TqryIPEasyEnquiry::SetText(const char *name, const QString &value)
{
    TField field = FieldNamed(name);
    return value.isNull() ? field.Clear() : field.SetAsString(value);
}

bool TqryIPEasyEnquiry::SetCode(const QString &value)
{
    return SetText(_IPEQEnquiryCode, value);
}

bool TqryIPEasyEnquiry::SetDescription(const QString &value)
{
    return SetText(_IPEQDescription, value);
}

bool TqryIPEasyEnquiry::SetSQLStatement(const QString &value)
{
    return SetText(_IPEQSQLStatement, value);
}

bool TqryIPEasyEnquiry::SetCommonDB(bool value)
{
    return FieldNamed(_IPEQCommonDB).SetAsBoolean(value);
}

bool TqryIPEasyEnquiry::SetPayrollCompanyID(int value)
{
    return FieldNamed(_IPEQPayrollCompanyID).SetAsInteger(value);
}

bool TqryIPEasyEnquiry::SetPayFrequencyID(int value)
{
    return FieldNamed(_IPEQPayFrequencyID).SetAsInteger(value);
}

bool TqryIPEasyEnquiry::SetIQType(int value)
{
    return FieldNamed(_IPEQIQTypeID).SetAsInteger(value);
}

bool TqryIPEasyEnquiry::SetXColumn(const QString &value)
{
    return SetText(_IPEQXColumn, value);
}

bool TqryIPEasyEnquiry::SetYColumn(const QString &value)
{
    return SetText(_IPEQYColumn, value);
}

bool TqryIPEasyEnquiry::SetPalette(int value)
{
    return FieldNamed(_IPEQPalette).SetAsInteger(value);
}

bool TqryIPEasyEnquiry::SetCustomColor(const QString &value)
{
    return SetText(_IPEQCustomColor, value);
}

bool TqryIPEasyEnquiry::SetChartLayout(const QByteArray &value)
{
    TField field = FieldNamed(_IPEQChartLayout);
    return value.isNull() ? field.Clear() : field.SetAsBytes(value);
}
