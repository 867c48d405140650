#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <vector>

// Prints rows as columns aligned by their widest cell, for people reading a terminal.
class TextTable
{
public:
    explicit TextTable(QStringList header)
        : m_header(std::move(header))
    {
    }
    void AddRow(QStringList row) { m_rows.push_back(std::move(row)); }
    void Print(QTextStream &out) const;

private:
    QStringList m_header;
    std::vector<QStringList> m_rows;
};
