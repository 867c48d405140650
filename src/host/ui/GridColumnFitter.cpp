#include "host/ui/GridColumnFitter.h"

#include "host/ui/TmxGrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QTableView>

#include <algorithm>

GridColumnFitter::GridColumnFitter(TmxGrid *grid)
    : QObject(grid)
    , m_grid(grid)
{
    grid->View()->viewport()->installEventFilter(this);
    connect(grid->View()->horizontalHeader(), &QHeaderView::sectionResized, this,
        &GridColumnFitter::SectionResized);
}

void GridColumnFitter::SetFillColumn(int column)
{
    m_fillColumn = column;
    m_fillWidth = m_grid->ColumnWidth(column);
    Fill();
}

void GridColumnFitter::FitToContent()
{
    // Public as the item view's; the rows measured are those on screen and some more.
    const QAbstractItemView *view = m_grid->View();
    const QHeaderView *header = m_grid->View()->horizontalHeader();
    m_resizing = true;
    for (int column = 0; column < m_grid->ColumnCount(); ++column) {
        if (!m_grid->ColumnVisible(column))
            continue;
        const int needed
            = std::max(view->sizeHintForColumn(column), header->sectionSizeHint(column));
        if (column == m_fillColumn)
            m_fillWidth = std::max(m_fillWidth, needed);
        else if (m_grid->ColumnWidth(column) < needed)
            m_grid->SetColumnWidth(column, needed);
    }
    m_resizing = false;
    Fill();
}

void GridColumnFitter::Unfill()
{
    if (m_fillColumn < 0)
        return;
    m_resizing = true;
    m_grid->SetColumnWidth(m_fillColumn, m_fillWidth);
    m_resizing = false;
}

bool GridColumnFitter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize)
        Fill();
    return QObject::eventFilter(watched, event);
}

void GridColumnFitter::Fill()
{
    if (m_fillColumn < 0 || !m_grid->ColumnVisible(m_fillColumn))
        return;
    int others = 0;
    for (int column = 0; column < m_grid->ColumnCount(); ++column) {
        if (column != m_fillColumn && m_grid->ColumnVisible(column))
            others += m_grid->ColumnWidth(column);
    }
    const int room = m_grid->View()->viewport()->width() - others;
    m_resizing = true;
    m_grid->SetColumnWidth(m_fillColumn, std::max(m_fillWidth, room));
    m_resizing = false;
}

// A width the person (or a restored layout) gives the fill column becomes its own; any other
// column that changes leaves the fill column more or less room.
void GridColumnFitter::SectionResized(int column, int, int newSize)
{
    if (m_resizing)
        return;
    if (column == m_fillColumn) {
        if (newSize > 0)
            m_fillWidth = newSize;
        return;
    }
    Fill();
}
