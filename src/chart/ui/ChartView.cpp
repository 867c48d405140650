#include "chart/ui/ChartView.h"

#include "chart/ChartModel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

ChartView::ChartView(Chart &chart, QWidget *parent)
    : QWidget(parent)
    , m_chart(chart)
{
    setMinimumSize(200, 150);
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(tr("Double click or Enter: chart options. Ctrl+Alt+right click or Ctrl+E: chart "
                  "editor."));
}

void ChartView::ResetView()
{
    m_chart.bottomAxis.automatic = true;
    m_chart.leftAxis.automatic = true;
    m_chart.depthPercent = kDefaultDepthPercent;
    update();
    emit ViewChanged();
}

void ChartView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_geometry = PaintChart(m_chart, painter, rect());
    if (m_dragging && m_tool == Tool::Zoom) {
        painter.setPen(QPen(Qt::black, 0, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(m_from, m_to).normalized());
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().highlight().color(), 0, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void ChartView::mousePressEvent(QMouseEvent *event)
{
    m_cancelMouse = false;
    if (event->button() == Qt::LeftButton && m_tool != Tool::Pointer) {
        m_dragging = true;
        m_from = m_to = event->position().toPoint();
    }
    QWidget::mousePressEvent(event);
}

void ChartView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    const QPoint at = event->position().toPoint();
    if (m_tool == Tool::Move) {
        Move(at - m_to);
    } else if (m_tool == Tool::Depth) {
        m_chart.depthPercent = std::clamp(m_chart.depthPercent + (m_to.y() - at.y()) / 3, 0, 100);
        emit ViewChanged();
    }
    m_to = at;
    update();
}

void ChartView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_dragging && !m_cancelMouse && m_tool == Tool::Zoom)
        Zoom(QRect(m_from, event->position().toPoint()).normalized());
    m_dragging = false;
    if (!m_cancelMouse)
        emit MouseReleased(event->button(), event->modifiers());
    m_cancelMouse = false;
    update();
}

void ChartView::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_dragging = false;
        emit DoubleClicked();
    }
}

void ChartView::keyPressEvent(QKeyEvent *event)
{
    // The keyboard's way to the options dialog.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && event->modifiers() == Qt::NoModifier) {
        emit DoubleClicked();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ChartView::Zoom(const QRect &area)
{
    // A click or a sliver is no zoom: a drag up and to the left undoes it, as a reset does.
    if (!m_geometry.hasAxes || area.width() < 4 || area.height() < 4)
        return;
    if (m_to.x() < m_from.x() && m_to.y() < m_from.y()) {
        ResetView();
        return;
    }
    m_chart.bottomAxis = { m_chart.bottomAxis.title, m_chart.bottomAxis.visible, false,
        m_geometry.XValue(area.left()), m_geometry.XValue(area.right()) };
    m_chart.leftAxis = { m_chart.leftAxis.title, m_chart.leftAxis.visible, false,
        m_geometry.YValue(area.bottom()), m_geometry.YValue(area.top()) };
    emit ViewChanged();
}

void ChartView::Move(QPoint by)
{
    if (!m_geometry.hasAxes)
        return;
    const double dx = m_geometry.XValue(0) - m_geometry.XValue(by.x());
    const double dy = m_geometry.YValue(0) - m_geometry.YValue(by.y());
    m_chart.bottomAxis = { m_chart.bottomAxis.title, m_chart.bottomAxis.visible, false,
        m_geometry.xMin + dx, m_geometry.xMax + dx };
    m_chart.leftAxis = { m_chart.leftAxis.title, m_chart.leftAxis.visible, false,
        m_geometry.yMin + dy, m_geometry.yMax + dy };
    emit ViewChanged();
}
