#pragma once

#include "chart/ChartPainter.h"

#include <QPoint>
#include <QWidget>

struct Chart;

// The chart on screen: paints the model through the one painter and carries out the toolbar's
// pointer tools (zoom, move, depth) on the model's axes. Double clicks and mouse releases go to
// the window, which decides what they open.
class ChartView final : public QWidget
{
    Q_OBJECT
public:
    enum class Tool { Pointer, Zoom, Move, Depth };

    ChartView(Chart &chart, QWidget *parent);
    void SetTool(Tool tool) { m_tool = tool; }
    Tool CurrentTool() const { return m_tool; }
    // Set after a double click opened a dialog: the release that follows is not a drag.
    void CancelMouse() { m_cancelMouse = true; }
    void ResetView(); // automatic axes, the default depth
    const ChartGeometry &Geometry() const { return m_geometry; }

signals:
    void DoubleClicked();
    void MouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void ViewChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Zoom(const QRect &area);
    void Move(QPoint by);

    Chart &m_chart;
    ChartGeometry m_geometry;
    Tool m_tool = Tool::Pointer;
    bool m_dragging = false;
    bool m_cancelMouse = false;
    QPoint m_from;
    QPoint m_to;
};
