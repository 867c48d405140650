#include "store/DemoData.h"
#include "store/DemoParts.h"
#include "store/DemoRandom.h"

#include "host/db/engine/Connection.h"
#include "host/db/engine/IsoDate.h"
#include "store/SqlHelpers.h"

#include <QDate>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char *const kFirstNames[] = { "James", "Mary", "Robert", "Patricia", "John", "Jennifer",
    "Michael", "Linda", "David", "Elizabeth", "William", "Barbara", "Richard", "Susan", "Joseph",
    "Jessica", "Thomas", "Sarah", "Charles", "Karen", "Daniel", "Nancy", "Matthew", "Lisa",
    "Anthony", "Margaret", "Mark", "Sandra", "Paul", "Ashley", "Steven", "Emily", "Andrew", "Donna",
    "Kenneth", "Michelle", "Priya", "Amir", "Chen", "Olivia", "Noah", "Aisha", "Mateo", "Fatima",
    "Lucas", "Sofia", "Tariq", "Grace" };
const char *const kSurnames[] = { "Smith", "Jones", "Taylor", "Brown", "Williams", "Wilson",
    "Johnson", "Davies", "Robinson", "Wright", "Thompson", "Evans", "Walker", "White", "Roberts",
    "Green", "Hall", "Wood", "Jackson", "Clarke", "Patel", "Khan", "Lewis", "James", "Phillips",
    "Mason", "Mitchell", "Rose", "Davis", "Rodriguez", "Cox", "Alexander", "Morgan", "Hughes",
    "Edwards", "Hill", "Moore", "Clark", "Harrison", "Scott", "Young", "Morris", "Ali", "Nguyen",
    "Kowalski", "O'Brien", "Murphy", "Singh" };

// Hourly rate range per department id 1..7.
const double kRates[][2] = { { 12.0, 20.0 }, { 15.0, 35.0 }, { 11.5, 25.0 }, { 11.5, 16.5 },
    { 12.5, 19.0 }, { 18.0, 45.0 }, { 14.0, 30.0 } };

struct Frequency
{
    int id;
    int periodsPerYear;
    double standardHours; // a full-time period
};

const Frequency kFrequencies[] = { { 1, 52, 37.5 }, { 2, 26, 75.0 }, { 3, 12, 162.5 } };

// The most recent pay run of the demo installation.
const QDate kLastFriday(2024, 12, 27);
const QDate kLastMonth(2024, 12, 1);

// As the engines store a date.
std::string DateText(const QDate &date)
{
    return IsoDate::format(
        IsoDate::fromParts(date.year(), date.month(), date.day()), FieldType::Date);
}

struct PayDate
{
    std::string iso;
    int period;
};

// Newest first: weekly and fortnightly on Fridays, monthly on the last working day.
std::vector<PayDate> PayDates(int frequencyId, int count)
{
    std::vector<PayDate> dates;
    dates.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        QDate date;
        int period = 0;
        if (frequencyId == 3) {
            const QDate month = kLastMonth.addMonths(-i);
            date = QDate(month.year(), month.month(), month.daysInMonth());
            while (date.dayOfWeek() > 5)
                date = date.addDays(-1);
            period = month.month();
        } else {
            const int step = frequencyId == 1 ? 7 : 14;
            date = kLastFriday.addDays(-static_cast<qint64>(step) * i);
            period = (date.dayOfYear() - 1) / step + 1;
        }
        dates.push_back({ DateText(date), period });
    }
    return dates;
}

double Round2(double value)
{
    return std::round(value * 100.0) / 100.0;
}

struct Employee
{
    int id;
    int frequency; // index into kFrequencies
    double rate;
    double contract; // share of full time
};

} // namespace

bool WriteDemoPayroll(Connection &payroll, const DemoOptions &options, DbError &error)
{
    DemoRandom random(options.seed);
    auto employeeInsert = payroll.prepare(
        "INSERT INTO _iptblEmployees (idEmployee, cEmployeeCode, cFirstName, cSurname, dtBirth, "
        "dtEngaged, iPayerID, iPayFrequencyID, iLocationID, iDepartmentID, fHourlyRate, bActive) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    auto payslipInsert = payroll.prepare(
        "INSERT INTO _iptblPayslips (iEmployeeID, dtPayDate, iPeriod, fHours, fOvertimeHours, "
        "fGross, fTax, fNet) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    if (!employeeInsert || !payslipInsert) {
        error = payroll.lastError();
        return false;
    }

    const int payslips = std::max(0, options.payslipsPerEmployee);
    std::array<std::vector<PayDate>, 3> payDates;
    for (std::size_t f = 0; f < payDates.size(); ++f)
        payDates[f] = PayDates(kFrequencies[f].id, payslips);

    const QDate oldestBirth(1958, 1, 1);
    const int birthDays = static_cast<int>(oldestBirth.daysTo(QDate(2006, 12, 31)));
    const QDate lastEngagement(2023, 12, 31);

    for (int id = 1; id <= options.employees; ++id) {
        // Ashbury is the largest company and pays mostly monthly; the others mostly weekly.
        const int payer = random.between(1, 100) <= 50 ? 1 : (random.chance(0.6) ? 2 : 3);
        const int roll = random.between(1, 100);
        const int frequency = payer == 1 ? (roll <= 70 ? 2
                                      : roll <= 85     ? 1
                                                       : 0)
                                         : (roll <= 60        ? 0
                                                 : roll <= 85 ? 1
                                                              : 2);
        const int department = random.between(1, 7);
        const int location = random.between(1, 5);
        const QDate birth = oldestBirth.addDays(random.between(0, birthDays));
        const QDate earliest = std::max(birth.addYears(16), QDate(1990, 1, 1));
        const QDate engaged = earliest.addDays(
            random.between(0, static_cast<int>(earliest.daysTo(lastEngagement))));
        const double rate = random.cents(kRates[department - 1][0], kRates[department - 1][1]);
        const bool active = !random.chance(0.05);
        const double contract = random.chance(0.8) ? 1.0 : random.between(8, 16) * 0.05;
        char code[16];
        std::snprintf(code, sizeof code, "EMP%05d", id);
        const std::string first = kFirstNames[random.between(0, int(std::size(kFirstNames)) - 1)];
        const std::string surname = kSurnames[random.between(0, int(std::size(kSurnames)) - 1)];
        if (!employeeInsert->run(
                { std::int64_t { id }, std::string(code), first, surname, DateText(birth),
                    DateText(engaged), std::int64_t { payer },
                    std::int64_t { kFrequencies[frequency].id }, std::int64_t { location },
                    std::int64_t { department }, rate, std::int64_t { active ? 1 : 0 } },
                error))
            return false;

        const Frequency &pay = kFrequencies[frequency];
        const double overtimeScale = 52.0 / pay.periodsPerYear;
        // Oldest first, so payslip ids follow time for each employee.
        for (auto date = payDates[frequency].rbegin(); date != payDates[frequency].rend(); ++date) {
            const double absence = random.chance(0.1) ? random.between(80, 99) / 100.0 : 1.0;
            const double hours = Round2(pay.standardHours * contract * absence);
            const double overtime
                = random.chance(0.35) ? Round2(random.between(1, 24) * 0.5 * overtimeScale) : 0.0;
            const double gross = Round2(hours * rate + overtime * rate * 1.5);
            const double tax
                = Round2(DemoAnnualTax(gross * pay.periodsPerYear) / pay.periodsPerYear);
            if (!payslipInsert->run({ std::int64_t { id }, date->iso, std::int64_t { date->period },
                                        hours, overtime, gross, tax, Round2(gross - tax) },
                    error))
                return false;
        }
    }
    return true;
}
