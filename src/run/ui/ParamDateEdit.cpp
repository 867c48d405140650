#include "run/ui/ParamDateEdit.h"

#include "host/core/TypeTables.h"
#include "run/ParamValue.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

ParamDateEdit::ParamDateEdit(QWidget *parent)
    : QWidget(parent)
{
    edtDate = new QLineEdit(this);
    edtDate->setObjectName(QStringLiteral("edtDate"));
    edtDate->setFrame(false);
    btnCalendar = new QToolButton(this);
    btnCalendar->setObjectName(QStringLiteral("btnCalendar"));
    btnCalendar->setArrowType(Qt::DownArrow);
    btnCalendar->setToolTip(tr("Choose the date on a calendar"));
    // Tab and Enter belong to the value, not to the button.
    btnCalendar->setFocusPolicy(Qt::NoFocus);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(edtDate, 1);
    layout->addWidget(btnCalendar);
    setFocusProxy(edtDate);
    connect(btnCalendar, &QToolButton::clicked, this, &ParamDateEdit::btnCalendarClick);
}

QString ParamDateEdit::text() const
{
    return edtDate->text();
}

void ParamDateEdit::setText(const QString &text)
{
    edtDate->setText(text);
}

void ParamDateEdit::btnCalendarClick()
{
    if (!calDate) {
        // A child of the editor, so that the grid does not end the edit while it is open.
        calDate = new QCalendarWidget(this);
        calDate->setObjectName(QStringLiteral("calDate"));
        calDate->setWindowFlags(Qt::Popup);
        connect(calDate, &QCalendarWidget::activated, this, &ParamDateEdit::DateChosen);
        connect(calDate, &QCalendarWidget::clicked, this, &ParamDateEdit::DateChosen);
    }
    const ParamCheck typed = CheckParamValue(kSQLTypeDate, edtDate->text());
    calDate->setSelectedDate(typed.ok ? typed.date.date() : QDate::currentDate());
    calDate->move(mapToGlobal(QPoint(0, height())));
    calDate->show();
    calDate->setFocus(Qt::PopupFocusReason);
}

void ParamDateEdit::DateChosen(QDate date)
{
    // Written as a stored date is shown; a time already typed stays.
    const ParamCheck typed = CheckParamValue(kSQLTypeDate, edtDate->text());
    ParamRow row;
    row.typeIndex = kSQLTypeDate;
    row.dtValue = QDateTime(date, typed.ok ? typed.date.time() : QTime(0, 0));
    edtDate->setText(ParamDisplayValue(row));
    calDate->hide();
    edtDate->setFocus(Qt::PopupFocusReason);
}
