#pragma once

#include <QDateTime>
#include <QString>

#include <vector>

class Connection;

// Notes in _btblNotes, attached to a row of any table by table name (stored in upper case) and
// row id. Every call returns false with `error` set when the database refuses.
class NotesStore
{
public:
    struct Note
    {
        int idNotes = 0;
        QDateTime created;
        QString agentName;
        QString text;
    };

    explicit NotesStore(Connection &connection)
        : m_connection(connection)
    {
    }

    bool exists(const QString &table, int id, bool &found, QString &error);
    bool load(const QString &table, int id, std::vector<Note> &notes, QString &error);
    bool add(const QString &table, int id, const QString &text, int &newId, QString &error);
    bool update(int idNotes, const QString &text, QString &error);
    bool remove(int idNotes, QString &error);

private:
    Connection &m_connection;
};
