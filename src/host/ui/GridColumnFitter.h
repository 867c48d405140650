#pragma once

#include <QObject>

class TmxGrid;

// Fits a list's columns to their content, so no caption or value is cut, and lets one column
// (the fill column) take the width the others leave in the view, following the window as it is
// resized. The fill column's own width, without what it took from the view, is what a saved
// layout keeps: Unfill() gives it back before the layout is saved.
class GridColumnFitter final : public QObject
{
    Q_OBJECT
public:
    explicit GridColumnFitter(TmxGrid *grid);

    void SetFillColumn(int column);
    // Widens every shown column that cuts its caption or a value, then fills the view.
    void FitToContent();
    void Unfill();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Fill();
    void SectionResized(int column, int oldSize, int newSize);

    TmxGrid *m_grid;
    int m_fillColumn = -1;
    int m_fillWidth = 0;
    bool m_resizing = false; // widths set here are not the person's
};
