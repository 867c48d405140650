#include "app/cli/TextTable.h"

#include <algorithm>

void TextTable::Print(QTextStream &out) const
{
    std::vector<int> widths(m_header.size());
    auto measure = [&](const QStringList &row) {
        for (int i = 0; i < row.size() && i < int(widths.size()); ++i)
            widths[i] = std::max(widths[i], int(row[i].size()));
    };
    measure(m_header);
    for (const QStringList &row : m_rows)
        measure(row);
    auto print = [&](const QStringList &row) {
        QString line;
        for (int i = 0; i < int(widths.size()); ++i) {
            const QString cell = i < row.size() ? row[i] : QString();
            line += i + 1 < int(widths.size()) ? cell.leftJustified(widths[i] + 2) : cell;
        }
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        out << line << "\n";
    };
    print(m_header);
    for (const QStringList &row : m_rows)
        print(row);
}
