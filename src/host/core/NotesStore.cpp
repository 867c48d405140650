#include "host/core/NotesStore.h"

#include "host/core/Agent.h"
#include "host/core/SqlExec.h"
#include "host/db/engine/Connection.h"

namespace {
QString ErrorText(const DbError &error)
{
    return QString::fromStdString(error.text);
}
}

bool NotesStore::exists(const QString &table, int id, bool &found, QString &error)
{
    DbError dbError;
    found = false;
    const bool ok = m_connection.forEachRow(
        "select 1 from _btblNotes where upper(cNOTETBLTableName) = ? and fNOTETBLTableID = ?",
        { SqlExec::ToValue(table.toUpper()), SqlExec::ToValue(id) },
        [&](const Statement &) {
            found = true;
            return false;
        },
        dbError);
    if (!ok)
        error = ErrorText(dbError);
    return ok;
}

bool NotesStore::load(const QString &table, int id, std::vector<Note> &notes, QString &error)
{
    notes.clear();
    DbError dbError;
    const bool ok = m_connection.forEachRow(
        "select n.idNotes, n.dtCreated, a.cAgentName, n.cNoteText from _btblNotes n "
        "left join _rtblAgents a on a.idAgents = n.iAgentID "
        "where upper(n.cNOTETBLTableName) = ? and n.fNOTETBLTableID = ? "
        "order by n.dtCreated, n.idNotes",
        { SqlExec::ToValue(table.toUpper()), SqlExec::ToValue(id) },
        [&](const Statement &row) {
            notes.push_back({ int(row.asInt64(0)), SqlExec::DateTimeAt(row, 1),
                SqlExec::TextAt(row, 2), SqlExec::TextAt(row, 3) });
            return true;
        },
        dbError);
    if (!ok)
        error = ErrorText(dbError);
    return ok;
}

bool NotesStore::add(const QString &table, int id, const QString &text, int &newId, QString &error)
{
    const TAgent *agent = CurrentAgent();
    DbError dbError;
    if (!m_connection.run(
            "insert into _btblNotes (cNOTETBLTableName, fNOTETBLTableID, cNoteText, dtCreated, "
            "iAgentID) values (?, ?, ?, ?, ?)",
            { SqlExec::ToValue(table.toUpper()), SqlExec::ToValue(id), SqlExec::ToValue(text),
                SqlExec::ToValue(QDateTime::currentDateTime()),
                SqlExec::ToValue(agent ? agent->idAgents : 0) },
            dbError)) {
        error = ErrorText(dbError);
        return false;
    }
    newId = int(m_connection.lastInsertId());
    return true;
}

bool NotesStore::update(int idNotes, const QString &text, QString &error)
{
    DbError dbError;
    if (!m_connection.run("update _btblNotes set cNoteText = ? where idNotes = ?",
            { SqlExec::ToValue(text), SqlExec::ToValue(idNotes) }, dbError)) {
        error = ErrorText(dbError);
        return false;
    }
    return true;
}

bool NotesStore::remove(int idNotes, QString &error)
{
    DbError dbError;
    if (!m_connection.run(
            "delete from _btblNotes where idNotes = ?", { SqlExec::ToValue(idNotes) }, dbError)) {
        error = ErrorText(dbError);
        return false;
    }
    return true;
}
