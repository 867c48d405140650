#pragma once

#include <QString>

#include <string>

class PostgresServer;

// A payroll and a common database on the test process's PostgreSQL with the schemas and the
// report role that "corvane-iq init" makes, and (when asked) the demo data, written by the
// store's own code. A server or statement that fails fails the test.
class TestServerDatabases
{
public:
    // Empty databases only; make() adds the schemas.
    TestServerDatabases();
    bool ready() const { return m_server != nullptr; }
    bool make(int demoEmployees = -1); // no demo data unless a count is given

    QString payrollName() const { return name(m_payrollDb); }
    QString commonName() const { return name(m_commonDb); }
    const std::string &payrollDb() const { return m_payrollDb; }
    PostgresServer &server() { return *m_server; }

private:
    QString name(const std::string &database) const;

    PostgresServer *m_server = nullptr;
    std::string m_payrollDb;
    std::string m_commonDb;
};
