#pragma once

#include "host/db/dataset/ProcParams.h"
#include "host/db/engine/DbError.h"

#include <QString>

#include <functional>

class Connection;

// A stored procedure call. SQLite has no procedures, so a procedure is a C++ function registered
// by name (RegisterProcedure); the call looks it up, hands it the connection and the
// parameters, and keeps its return value and error. Names match in any letter case; an owner
// ("dbo.", "[dbo].") and a ";1" version suffix are ignored.
//
// How a failure reaches the person is not decided here: with reportErrors on, rvExecProc hands
// the error text to the reporter set with SetErrorReporter (the host shows it with ErrMessage).
class TQuillonADOStoredProc
{
public:
    using Procedure = std::function<bool(
        Connection &connection, const ProcParams &params, int &returnValue, DbError &error)>;

    static void RegisterProcedure(const QString &name, Procedure procedure);
    static void UnregisterProcedure(const QString &name);
    static bool IsRegistered(const QString &name);
    static void SetErrorReporter(std::function<void(const QString &)> reporter);

    void SetConnection(Connection *connection) { m_connection = connection; }
    Connection *GetConnection() const { return m_connection; }
    void SetProcedureName(const QString &name) { m_name = name; }
    QString ProcedureName() const { return m_name; }
    ProcParams &Parameters() { return m_params; }
    const ProcParams &Parameters() const { return m_params; }

    // True when the procedure ran and reported success. "@RETURN_VALUE" holds the return value
    // afterwards, as ReturnValue() does.
    bool rvExecProc(bool reportErrors = true);
    int ReturnValue() const { return m_returnValue; }
    const DbError &LastError() const { return m_error; }

private:
    static QString Key(const QString &name);

    Connection *m_connection = nullptr;
    QString m_name;
    ProcParams m_params;
    int m_returnValue = 0;
    DbError m_error;
};
