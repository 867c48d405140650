#pragma once

#include <QWidget>

class QCalendarWidget;
class QLineEdit;
class QToolButton;

// A date parameter's value: typed in the regional format, or chosen on a calendar that drops
// down from the button beside it and writes the date in that same format. The text stays free
// (it is checked on OK), so an empty value stays empty.
class ParamDateEdit final : public QWidget
{
    Q_OBJECT
public:
    explicit ParamDateEdit(QWidget *parent);

    QString text() const;
    void setText(const QString &text);

private:
    void btnCalendarClick();
    void DateChosen(QDate date);

    QLineEdit *edtDate;
    QToolButton *btnCalendar;
    QCalendarWidget *calDate = nullptr; // made when first wanted
};
