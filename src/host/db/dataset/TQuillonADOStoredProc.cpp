#include "host/db/dataset/TQuillonADOStoredProc.h"

#include "host/db/engine/NameFold.h"
#include "host/db/engine/SqlText.h"

#include <map>

namespace {

std::map<QString, TQuillonADOStoredProc::Procedure> &registry()
{
    static std::map<QString, TQuillonADOStoredProc::Procedure> procedures;
    return procedures;
}

std::function<void(const QString &)> &reporter()
{
    static std::function<void(const QString &)> report;
    return report;
}

} // namespace

QString TQuillonADOStoredProc::Key(const QString &name)
{
    QString key = name.trimmed();
    const int version = key.lastIndexOf(';');
    if (version >= 0)
        key.truncate(version);
    return NameFold::fold(QString::fromStdString(SqlText::bareName(key.toStdString())));
}

void TQuillonADOStoredProc::RegisterProcedure(const QString &name, Procedure procedure)
{
    registry()[Key(name)] = std::move(procedure);
}

void TQuillonADOStoredProc::UnregisterProcedure(const QString &name)
{
    registry().erase(Key(name));
}

bool TQuillonADOStoredProc::IsRegistered(const QString &name)
{
    return registry().count(Key(name)) > 0;
}

void TQuillonADOStoredProc::SetErrorReporter(std::function<void(const QString &)> report)
{
    reporter() = std::move(report);
}

bool TQuillonADOStoredProc::rvExecProc(bool reportErrors)
{
    m_error.clear();
    m_returnValue = 0;
    const auto found = registry().find(Key(m_name));
    bool ok = false;
    if (!m_connection) {
        m_error = DbError { "The stored procedure has no connection.", 0, "08003" };
    } else if (found == registry().end()) {
        m_error = DbError { "Could not find stored procedure '" + m_name.toStdString() + "'.", 2812,
            "42000" };
    } else {
        ok = found->second(*m_connection, m_params, m_returnValue, m_error);
        if (!ok && !m_error.isSet())
            m_error
                = DbError { "The stored procedure '" + m_name.toStdString() + "' failed.", 0, {} };
    }
    m_params.SetValue(
        QStringLiteral("@RETURN_VALUE"), Value(static_cast<std::int64_t>(m_returnValue)));
    if (!ok && reportErrors && reporter())
        reporter()(QString::fromStdString(m_error.text));
    return ok;
}
