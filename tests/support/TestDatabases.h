#pragma once

#include "host/db/engine/Value.h"
#include "store/CredentialStore.h"
#include "store/Databases.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

// The rights of an agent made for a test.
struct TestAgent
{
    bool administrator = false;
    bool allPayrollCompanies = true;
    bool allPayFrequencies = true;
    bool allLocations = true;
    std::vector<int> functions {}; // granted; "{}" lets a designated initializer leave it out
    bool active = true;
};

// A parameter row of an IQ made for a test.
struct TestParam
{
    const char *name;
    int type;
    const char *value; // null: no value stored
};

// Two IQs, GONE (1) and STAYS (2), with parameters, a column and notes each (stored upper- and
// lower-case), and a note of another table: what deleting the first must leave.
inline constexpr const char *kTwoEnquiriesWithRows = R"sql(
INSERT INTO _iptblEasyEnquiry (idEnquiry, cCode) VALUES (1, 'GONE'), (2, 'STAYS');
INSERT INTO _iptblEasyEnquiryParam (iEnquiryID, cDescription, iSQLTypeID) VALUES (1, 'A', 1), (1, 'B', 4), (2, 'A', 1);
INSERT INTO _iptblEasyEnquiryColumn (iEnquiryID, cColumnName, bShow, iOrder) VALUES (1, 'x', 1, 1), (2, 'x', 1, 1);
INSERT INTO _btblNotes (cNOTETBLTableName, fNOTETBLTableID, cNoteText) VALUES
  ('_IPTBLEASYENQUIRY', 1, 'upper'), ('_iptbleasyenquiry', 1, 'lower'),
  ('_IPTBLEASYENQUIRY', 2, 'other IQ'), ('_BTBLEMPLOYEE', 1, 'other table');
)sql";

// Both databases (and the credentials file) in a temporary folder, made by the store's own schema
// code, bound to the host for the life of the object; the per-user settings are kept in the same
// folder. Nobody is signed in until a test signs an agent in for real. A failed statement fails
// the test.
class TestDatabases
{
public:
    TestDatabases();
    ~TestDatabases();

    Connection &payroll() { return *m_databases->payroll; }
    Connection &common() { return *m_databases->common; }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString payrollPath() const { return path(QStringLiteral("payroll.db")); }
    CredentialStore credentials() const { return CredentialStore(payrollPath()); }

    // A demo installation of this size: agents "admin", "clerk", "viewer" and "guest" (password =
    // name), their payroll companies, employees, payslips and the demo IQs.
    void addDemoData(int employees, int payslipsPerEmployee);

    // Statements run on the payroll database unless a connection is given.
    void exec(std::string_view sql, std::initializer_list<Value> values = {});
    static void exec(
        Connection &connection, std::string_view sql, std::initializer_list<Value> values = {});
    // Every row, its cells as text ("NULL" for null) joined by "|".
    QStringList rows(std::string_view sql, std::initializer_list<Value> values = {});
    static QStringList rows(
        Connection &connection, std::string_view sql, std::initializer_list<Value> values = {});
    // Every IQ definition row, the IQ types and the log's texts, to compare before and after.
    QStringList definitionsAndLog();
    // The first cell of the first row as a number; -1 without a row.
    int count(std::string_view sql, std::initializer_list<Value> values = {});
    static int count(
        Connection &connection, std::string_view sql, std::initializer_list<Value> values = {});

    // A new IQ on the payroll database, described as "<code> description" unless told, with
    // these parameter rows; returns its id.
    int insertEnquiry(const QString &code, const QString &sql, const QString &description = {},
        std::initializer_list<TestParam> params = {});
    // A parameter row; `date` in the stored form "YYYY-MM-DD HH:MM:SS".
    void insertParam(int enquiryId, const QString &name, int type, std::optional<QString> value,
        std::optional<QString> date = std::nullopt);
    // Column rows (name, shown) in this order.
    void insertColumns(int enquiryId, const std::vector<std::pair<QString, bool>> &columns);

    // A new agent whose password is its name; returns its id.
    int addAgent(const QString &name, const TestAgent &agent = {});
    // Signs the agent in through the program's own sign-in.
    void signIn(const QString &name);

private:
    QTemporaryDir m_dir;
    std::optional<HostDatabases> m_databases;
};
