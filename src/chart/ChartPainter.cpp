#include "chart/ChartPainter.h"

#include "chart/ChartModel.h"
#include "chart/MarkPlacer.h"
#include "chart/PointReduction.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kLabelPixels = 11;
constexpr int kGap = 4;
constexpr double kPixelLimit = 1e6; // keeps hostile values from overflowing int pixels

QFont labelFont()
{
    QFont font;
    font.setPixelSize(kLabelPixels);
    return font;
}

QString valueText(double value)
{
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'g', 6);
}

struct Scale
{
    double min = 0, max = 1;
    double from = 0, to = 1; // pixels of min and max
    double Map(double value) const
    {
        const double pixel = from + (value - min) * (to - from) / (max - min);
        return std::clamp(pixel, -kPixelLimit, kPixelLimit);
    }
    int Pixel(double value) const { return static_cast<int>(std::lround(Map(value))); }
    double PerUnit() const { return std::fabs((to - from) / (max - min)); }
};

// Steps of 1, 2 or 5 times a power of ten, at most about `count` of them.
std::vector<double> niceTicks(double min, double max, int count)
{
    std::vector<double> ticks;
    const double span = max - min;
    if (!(span > 0) || !std::isfinite(span) || count < 1)
        return ticks;
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (const double factor : { 1.0, 2.0, 5.0, 10.0 }) {
        step = factor * power;
        if (step >= raw)
            break;
    }
    for (double tick = std::ceil(min / step) * step; tick <= max + step * 1e-9; tick += step) {
        ticks.push_back(std::fabs(tick) < step * 1e-9 ? 0.0 : tick);
        if (ticks.size() > 200)
            break;
    }
    return ticks;
}

struct Range
{
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
    void Add(double value)
    {
        min = std::min(min, value);
        max = std::max(max, value);
    }
    bool Empty() const { return min > max; }
};

// The narrowest gap between neighbouring positions is the room a bar has. Series whose bars
// share a position stand side by side in it; series at positions of their own (a text X gives
// each series its own run) take the whole room.
struct BarRoom
{
    double gap = 1;
    bool sideBySide = false;
};

BarRoom barRoom(const Chart &chart, bool horizontal)
{
    std::vector<std::pair<double, std::size_t>> positions;
    for (std::size_t s = 0; s < chart.series.size(); ++s) {
        const ChartSeries &series = chart.series[s];
        if (series.kind != (horizontal ? SeriesKind::HorizBar : SeriesKind::Bar))
            continue;
        for (const ChartPoint &point : series.points)
            positions.emplace_back(horizontal ? point.y : point.x, s);
    }
    std::sort(positions.begin(), positions.end());
    BarRoom room { 0, false };
    for (std::size_t i = 1; i < positions.size(); ++i) {
        const double step = positions[i].first - positions[i - 1].first;
        if (step > 0 && (room.gap == 0 || step < room.gap))
            room.gap = step;
        if (step == 0 && positions[i].second != positions[i - 1].second)
            room.sideBySide = true;
    }
    if (!(room.gap > 0))
        room.gap = 1;
    return room;
}

class Painter
{
public:
    Painter(const Chart &chart, QPainter &painter, const QRect &area, const PaintOptions &options)
        : m_chart(chart)
        , m_painter(painter)
        , m_area(area)
        , m_options(options)
        , m_font(labelFont())
        , m_metrics(m_font)
    {
    }

    ChartGeometry Paint();

private:
    void PaintTitle(QRect &rest);
    void PaintLegend(QRect &rest);
    void ComputeRanges();
    void PaintWallsAndAxes(const QRect &rest);
    void PaintAxisLabels(bool bottom, const Scale &scale, bool labels);
    void PaintSeries(std::size_t index);
    void PaintBars(std::size_t index, bool horizontal);
    void PaintLine(std::size_t index);
    void PaintPoints(std::size_t index);
    void PaintPies(const QRect &rest, std::vector<QRect> &circles);
    void PaintMark(const ChartSeries &series, QPoint anchor, QPoint direction, const QString &text);
    bool MarksFit(const ChartSeries &series) const;
    const ChartSeries *LabelSource() const;

    const Chart &m_chart;
    QPainter &m_painter;
    QRect m_area;
    PaintOptions m_options;
    QFont m_font;
    QFontMetrics m_metrics;
    bool m_pies = false;
    bool m_horizontal = false;
    Scale m_x, m_y;
    QRect m_plot; // front plane
    int m_depth = 0;
    double m_xGap = 1, m_yGap = 1;
    int m_barSeries = 0, m_horizBarSeries = 0;
    std::unique_ptr<MarkPlacer> m_marks;
};

ChartGeometry Painter::Paint()
{
    m_painter.save();
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.fillRect(m_area, QColor(m_chart.appearance.background));
    m_painter.setFont(m_font);
    QRect rest = m_area.adjusted(kGap, kGap, -kGap, -kGap);
    // Marks go where the title and legend are not.
    m_marks = std::make_unique<MarkPlacer>(m_area);
    PaintTitle(rest);
    m_pies = !m_chart.series.empty() && m_chart.series.front().kind == SeriesKind::Pie;
    PaintLegend(rest);
    ChartGeometry geometry;
    if (m_pies) {
        PaintPies(rest, geometry.pies);
    } else {
        ComputeRanges();
        PaintWallsAndAxes(rest);
        m_painter.save();
        m_painter.setClipRect(m_plot.adjusted(0, -m_depth, m_depth + 1, 1));
        for (std::size_t i = 0; i < m_chart.series.size(); ++i)
            PaintSeries(i);
        m_painter.restore();
        geometry.hasAxes = true;
        geometry.plot = m_plot;
        geometry.xMin = m_x.min;
        geometry.xMax = m_x.max;
        geometry.yMin = m_y.min;
        geometry.yMax = m_y.max;
    }
    m_painter.restore();
    return geometry;
}

void Painter::PaintTitle(QRect &rest)
{
    if (m_chart.title.empty())
        return;
    QFont font = m_font;
    font.setBold(true);
    font.setPixelSize(m_chart.appearance.titlePixels);
    const QFontMetrics metrics(font);
    const QString title
        = metrics.elidedText(QString::fromStdString(m_chart.title), Qt::ElideRight, rest.width());
    m_painter.save();
    m_painter.setFont(font);
    m_painter.setPen(QColor(m_chart.appearance.titleColour));
    const QRect box(rest.left(), rest.top(), rest.width(), metrics.height());
    m_painter.drawText(box, Qt::AlignHCenter | Qt::AlignVCenter, title);
    m_painter.restore();
    m_marks->Place(box);
    rest.setTop(box.bottom() + 1 + kGap);
}

const ChartSeries *Painter::LabelSource() const
{
    for (const ChartSeries &series : m_chart.series) {
        if (series.kind == SeriesKind::Pie)
            continue;
        if (HasLabels(series))
            return &series;
    }
    return nullptr;
}

void Painter::PaintLegend(QRect &rest)
{
    if (!m_chart.legendVisible || m_chart.series.empty())
        return;
    // One per-point-coloured series lists its points; otherwise the series are listed.
    struct Entry
    {
        QString text;
        QRgb colour;
    };
    std::vector<Entry> entries;
    const int row = m_metrics.height() + 2;
    const int fitting = std::max(0, (rest.height() - 2 * kGap) / row);
    const ChartSeries &first = m_chart.series.front();
    if (m_chart.series.size() == 1 && first.colorEachPoint) {
        for (std::size_t i = 0;
             i < first.points.size() && static_cast<int>(entries.size()) < fitting; ++i) {
            const ChartPoint &point = first.points[i];
            const double value = IsHorizontal(first.kind) ? point.x : point.y;
            entries.push_back(
                { PointLabel(first, i).empty() ? valueText(value)
                                               : QString::fromStdString(PointLabel(first, i)),
                    m_chart.PointColour(first, i) });
        }
    } else {
        for (std::size_t i = 0;
             i < m_chart.series.size() && static_cast<int>(entries.size()) < fitting; ++i)
            entries.push_back(
                { QString::fromStdString(m_chart.series[i].title), m_chart.SeriesColour(i) });
    }
    if (entries.empty())
        return;
    const int limit = rest.width() * 3 / 10;
    int textWidth = 0;
    for (Entry &entry : entries) {
        entry.text = m_metrics.elidedText(entry.text, Qt::ElideRight, limit);
        textWidth = std::max(textWidth, m_metrics.horizontalAdvance(entry.text));
    }
    const int swatch = m_metrics.height() - 2;
    const int width = textWidth + swatch + 3 * kGap;
    const int height = static_cast<int>(entries.size()) * row + 2 * kGap;
    const QRect box(rest.right() - width, rest.center().y() - height / 2, width, height);
    m_painter.save();
    m_painter.setPen(QColor(m_chart.appearance.frame));
    m_painter.setBrush(QColor(m_chart.appearance.background));
    m_painter.drawRect(box);
    int y = box.top() + kGap;
    for (const Entry &entry : entries) {
        m_painter.setPen(Qt::black);
        m_painter.setBrush(QColor(entry.colour));
        m_painter.drawRect(box.left() + kGap, y + 1, swatch, swatch);
        m_painter.drawText(QRect(box.left() + 2 * kGap + swatch, y, textWidth, row - 2),
            Qt::AlignLeft | Qt::AlignVCenter, entry.text);
        y += row;
    }
    m_painter.restore();
    m_marks->Place(box.adjusted(-kGap, 0, 0, 0));
    rest.setRight(box.left() - 2 * kGap);
}

void Painter::ComputeRanges()
{
    Range x, y;
    bool barsUp = false, barsAcross = false, areaUp = false, areaAcross = false;
    for (const ChartSeries &series : m_chart.series) {
        if (series.kind == SeriesKind::Pie)
            continue;
        m_horizontal = m_horizontal || IsHorizontal(series.kind);
        if (series.kind == SeriesKind::Bar) {
            barsUp = true;
            ++m_barSeries;
        }
        if (series.kind == SeriesKind::HorizBar) {
            barsAcross = true;
            ++m_horizBarSeries;
        }
        areaUp = areaUp || series.kind == SeriesKind::Area;
        areaAcross = areaAcross || series.kind == SeriesKind::HorizArea;
        for (const ChartPoint &point : series.points) {
            x.Add(point.x);
            y.Add(point.y);
        }
    }
    if (x.Empty()) {
        x = { 0, 1 };
        y = { 0, 1 };
    }
    if (barsUp || areaUp)
        y.Add(0);
    if (barsAcross || areaAcross)
        x.Add(0);
    // Half a gap beyond the first and last bar, along the axis the bars stand on.
    const auto makeBarRoom = [this](bool horizontal, Range &along, double &gap, int &series) {
        const BarRoom room = barRoom(m_chart, horizontal);
        gap = room.gap;
        if (!room.sideBySide)
            series = 1;
        along.Add(along.min - gap / 2);
        along.Add(along.max + gap / 2);
    };
    if (barsUp)
        makeBarRoom(false, x, m_xGap, m_barSeries);
    if (barsAcross)
        makeBarRoom(true, y, m_yGap, m_horizBarSeries);
    // Room for the marks above the highest bar.
    if (barsUp && y.max > 0)
        y.max += (y.max - y.min) * 0.08;
    if (barsAcross && x.max > 0)
        x.max += (x.max - x.min) * 0.08;
    for (Range *range : { &x, &y }) {
        if (!(range->max > range->min)) {
            range->min -= 1;
            range->max += 1;
        }
    }
    const ChartAxis &bottom = m_chart.bottomAxis;
    const ChartAxis &left = m_chart.leftAxis;
    m_x.min = !bottom.automatic && bottom.maximum > bottom.minimum ? bottom.minimum : x.min;
    m_x.max = !bottom.automatic && bottom.maximum > bottom.minimum ? bottom.maximum : x.max;
    m_y.min = !left.automatic && left.maximum > left.minimum ? left.minimum : y.min;
    m_y.max = !left.automatic && left.maximum > left.minimum ? left.maximum : y.max;
}

void Painter::PaintWallsAndAxes(const QRect &rest)
{
    const ChartAppearance &look = m_chart.appearance;
    const int labelHeight = m_metrics.height();
    const bool leftLabels = m_horizontal && LabelSource();
    const bool bottomLabels = !m_horizontal && LabelSource();
    // Left margin: the widest value label, or a share of the width for point labels.
    int leftWidth = 0;
    if (leftLabels) {
        leftWidth = rest.width() / 5;
    } else {
        for (const double tick : niceTicks(m_y.min, m_y.max, 10))
            leftWidth = std::max(leftWidth, m_metrics.horizontalAdvance(valueText(tick)));
    }
    const int leftTitle = m_chart.leftAxis.title.empty() ? 0 : labelHeight + kGap;
    const int bottomTitle = m_chart.bottomAxis.title.empty() ? 0 : labelHeight + kGap;
    QRect plot = rest.adjusted(
        leftTitle + leftWidth + kGap, 0, -kGap, -(bottomTitle + labelHeight + 2 * kGap));
    if (plot.width() < 10 || plot.height() < 10)
        plot
            = QRect(rest.topLeft(), QSize(std::max(10, rest.width()), std::max(10, rest.height())));
    m_depth = m_chart.view3D
        ? std::min(plot.width(), plot.height()) * std::clamp(m_chart.depthPercent, 0, 100) / 200
        : 0;
    m_plot = plot.adjusted(0, m_depth, -m_depth, 0);
    m_x.from = m_plot.left();
    m_x.to = m_plot.right();
    m_y.from = m_plot.bottom();
    m_y.to = m_plot.top();

    const QRect back = m_plot.translated(m_depth, -m_depth);
    m_painter.save();
    m_painter.setPen(QColor(look.wallPen));
    if (m_depth > 0) {
        m_painter.setBrush(QColor(look.sideWalls));
        const QPoint leftWall[]
            = { m_plot.topLeft(), back.topLeft(), back.bottomLeft(), m_plot.bottomLeft() };
        m_painter.drawPolygon(leftWall, 4);
        const QPoint bottomWall[]
            = { m_plot.bottomLeft(), back.bottomLeft(), back.bottomRight(), m_plot.bottomRight() };
        m_painter.drawPolygon(bottomWall, 4);
    }
    m_painter.setBrush(QColor(look.backWall));
    m_painter.drawRect(back);
    // Grid lines of the value axis on the back wall.
    m_painter.setPen(QPen(QColor(look.wallPen), 0, Qt::DotLine));
    if (!m_horizontal) {
        for (const double tick : niceTicks(m_y.min, m_y.max, 10)) {
            const int y = m_y.Pixel(tick) - m_depth;
            m_painter.drawLine(back.left(), y, back.right(), y);
        }
    } else {
        for (const double tick : niceTicks(m_x.min, m_x.max, 10)) {
            const int x = m_x.Pixel(tick) + m_depth;
            m_painter.drawLine(x, back.top(), x, back.bottom());
        }
    }
    m_painter.setPen(QColor(look.axisLine));
    m_painter.drawLine(m_plot.bottomLeft(), m_plot.bottomRight());
    m_painter.drawLine(m_plot.bottomLeft(), m_plot.topLeft());
    m_painter.restore();

    PaintAxisLabels(true, m_x, bottomLabels);
    PaintAxisLabels(false, m_y, leftLabels);

    m_painter.save();
    m_painter.setPen(QColor(look.titleColour));
    if (bottomTitle) {
        const QRect box(
            m_plot.left(), m_plot.bottom() + labelHeight + 2 * kGap, m_plot.width(), labelHeight);
        m_painter.drawText(box, Qt::AlignCenter,
            m_metrics.elidedText(
                QString::fromStdString(m_chart.bottomAxis.title), Qt::ElideRight, box.width()));
    }
    if (leftTitle) {
        m_painter.translate(rest.left(), m_plot.center().y());
        m_painter.rotate(-90);
        const QRect box(-m_plot.height() / 2, 0, m_plot.height(), labelHeight);
        m_painter.drawText(box, Qt::AlignCenter,
            m_metrics.elidedText(
                QString::fromStdString(m_chart.leftAxis.title), Qt::ElideRight, box.width()));
    }
    m_painter.restore();
}

void Painter::PaintAxisLabels(bool bottom, const Scale &scale, bool labels)
{
    m_painter.save();
    m_painter.setPen(QColor(m_chart.appearance.axisLabels));
    const int height = m_metrics.height();
    const int leftEdge
        = m_area.left() + kGap + (m_chart.leftAxis.title.empty() ? 0 : height + kGap);
    // Labels are drawn while they fit: one that would touch the last drawn one is skipped. The
    // cheap position test comes first, so only drawn labels are measured.
    int lastEnd = std::numeric_limits<int>::min() / 2;
    int skipTo = std::numeric_limits<int>::min();
    auto draw = [&](double value, auto &&makeText) {
        const int at = scale.Pixel(value);
        if (bottom) {
            if (at < m_plot.left() - 1 || at > m_plot.right() + 1 || at - 1 <= lastEnd
                || at < skipTo)
                return;
            const QString text = makeText();
            const int width = m_metrics.horizontalAdvance(text);
            if (at - width / 2 <= lastEnd + kGap) {
                // Labels of about this width fit only this far on: skip to there unmeasured.
                skipTo = lastEnd + kGap + width / 2 + 1;
                return;
            }
            m_painter.drawText(QRect(at - width / 2, m_plot.bottom() + kGap, width + 1, height),
                Qt::AlignCenter, text);
            lastEnd = at + width / 2 + 1;
        } else {
            // Upwards: `lastEnd` is the negated top of the last label drawn.
            if (at < m_plot.top() - 1 || at > m_plot.bottom() + 1 || -at - 1 <= lastEnd)
                return;
            const int right = m_plot.left() - kGap;
            const QString shown
                = m_metrics.elidedText(makeText(), Qt::ElideRight, right - leftEdge);
            m_painter.drawText(QRect(leftEdge, at - height / 2, right - leftEdge, height),
                Qt::AlignRight | Qt::AlignVCenter, shown);
            lastEnd = -(at - height / 2) + 1;
        }
    };
    if (labels) {
        // Every series' labels, by position: with a text X each series has a run of its own.
        struct Label
        {
            double position;
            const ChartSeries *series;
            std::size_t index;
        };
        std::vector<Label> order;
        for (const ChartSeries &series : m_chart.series) {
            if (series.kind == SeriesKind::Pie)
                continue;
            for (std::size_t i = 0; i < series.points.size(); ++i)
                order.push_back({ bottom ? series.points[i].x : series.points[i].y, &series, i });
        }
        auto byPosition = [](const Label &a, const Label &b) { return a.position < b.position; };
        if (!std::is_sorted(order.begin(), order.end(), byPosition))
            std::stable_sort(order.begin(), order.end(), byPosition);
        if (!bottom)
            std::reverse(order.begin(), order.end()); // drawn from the bottom up
        for (const Label &label : order)
            draw(label.position, [&label] {
                return QString::fromStdString(PointLabel(*label.series, label.index));
            });
    } else {
        std::vector<double> ticks = niceTicks(scale.min, scale.max, 10);
        for (const double tick : ticks)
            draw(tick, [&] { return valueText(tick); });
    }
    m_painter.restore();
}

bool Painter::MarksFit(const ChartSeries &series) const
{
    return series.marks.visible && static_cast<int>(series.points.size()) <= m_area.width() / 4;
}

void Painter::PaintMark(
    const ChartSeries &series, QPoint anchor, QPoint direction, const QString &text)
{
    const int width = m_metrics.horizontalAdvance(text) + 6;
    const int height = m_metrics.height() + 2;
    const int arrow = 8;
    const QPoint end = anchor + direction * arrow;
    QRect box(0, 0, width, height);
    if (direction.y() < 0)
        box.moveCenter(QPoint(end.x(), end.y() - height / 2));
    else if (direction.x() > 0)
        box.moveCenter(QPoint(end.x() + width / 2, end.y()));
    else if (direction.x() < 0)
        box.moveCenter(QPoint(end.x() - width / 2, end.y()));
    else
        box.moveCenter(QPoint(end.x(), end.y() + height / 2));
    if (!m_marks->Place(box))
        return;
    m_painter.setPen(QColor(series.marks.arrowColour));
    m_painter.drawLine(anchor, end);
    m_painter.setBrush(QColor(series.marks.backColour));
    m_painter.drawRect(box);
    m_painter.drawText(box, Qt::AlignCenter, text);
}

void Painter::PaintSeries(std::size_t index)
{
    const ChartSeries &series = m_chart.series[index];
    switch (series.kind) {
    case SeriesKind::Bar:
        PaintBars(index, false);
        break;
    case SeriesKind::HorizBar:
        PaintBars(index, true);
        break;
    case SeriesKind::Line:
    case SeriesKind::FastLine:
    case SeriesKind::HorizLine:
    case SeriesKind::Area:
    case SeriesKind::HorizArea:
        PaintLine(index);
        break;
    case SeriesKind::Point:
        PaintPoints(index);
        break;
    case SeriesKind::Pie:
        break; // pies draw only as pie charts
    }
}

void Painter::PaintBars(std::size_t index, bool horizontal)
{
    const ChartSeries &series = m_chart.series[index];
    // Bar series of one direction stand side by side within each position's room.
    const int count = std::max(1, horizontal ? m_horizBarSeries : m_barSeries);
    int slot = 0;
    for (std::size_t i = 0; i < index && count > 1; ++i)
        slot += m_chart.series[i].kind == series.kind ? 1 : 0;
    const Scale &along = horizontal ? m_y : m_x;
    const Scale &value = horizontal ? m_x : m_y;
    const double room = std::min(1e6, (horizontal ? m_yGap : m_xGap) * along.PerUnit() * 0.7);
    const double thickness = std::max(1.0, room / count);
    const double base = std::clamp(0.0, value.min, value.max);
    const int depth = m_depth;
    const bool marks = MarksFit(series);
    std::vector<std::pair<QPoint, QString>> pending;
    for (std::size_t i = 0; i < series.points.size(); ++i) {
        const ChartPoint &point = series.points[i];
        const double centre = along.Map(horizontal ? point.y : point.x);
        const double start = centre - room / 2 + slot * thickness;
        const int from = static_cast<int>(std::lround(start));
        const int to = std::max(from + 1, static_cast<int>(std::lround(start + thickness)));
        const int v0 = value.Pixel(base);
        const int v1 = value.Pixel(horizontal ? point.x : point.y);
        const QRect face = horizontal
            ? QRect(QPoint(std::min(v0, v1), from), QPoint(std::max(v0, v1), to - 1))
            : QRect(QPoint(from, std::min(v0, v1)), QPoint(to - 1, std::max(v0, v1)));
        const QColor colour(m_chart.PointColour(series, i));
        m_painter.setPen(face.width() > 3 && face.height() > 3 ? QPen(Qt::black) : Qt::NoPen);
        if (depth > 0) {
            const QPoint top[] = { face.topLeft(), face.topLeft() + QPoint(depth, -depth),
                face.topRight() + QPoint(depth, -depth), face.topRight() };
            const QPoint side[] = { face.topRight(), face.topRight() + QPoint(depth, -depth),
                face.bottomRight() + QPoint(depth, -depth), face.bottomRight() };
            m_painter.setBrush(colour.lighter(125));
            m_painter.drawPolygon(top, 4);
            m_painter.setBrush(colour.darker(130));
            m_painter.drawPolygon(side, 4);
        }
        m_painter.setBrush(colour);
        m_painter.drawRect(face);
        if (marks) {
            const double shown = horizontal ? point.x : point.y;
            const QPoint anchor = horizontal
                ? QPoint(shown >= 0 ? face.right() + depth : face.left(), face.center().y())
                : QPoint(face.center().x(), shown >= 0 ? face.top() - depth : face.bottom());
            pending.emplace_back(anchor, valueText(shown));
        }
    }
    m_painter.save();
    m_painter.setClipping(false);
    for (const auto &[anchor, text] : pending) {
        const bool negative = text.startsWith(QLatin1Char('-'));
        PaintMark(series, anchor,
            horizontal ? QPoint(negative ? -1 : 1, 0) : QPoint(0, negative ? 1 : -1), text);
    }
    m_painter.restore();
}

void Painter::PaintLine(std::size_t index)
{
    const ChartSeries &series = m_chart.series[index];
    const bool horizontal = IsHorizontal(series.kind);
    std::vector<QPoint> pixels;
    pixels.reserve(series.points.size());
    for (const ChartPoint &point : series.points)
        pixels.emplace_back(m_x.Pixel(point.x), m_y.Pixel(point.y));
    if (m_options.reducePoints)
        pixels = horizontal ? ReducePerPixelRow(pixels) : ReducePerPixelColumn(pixels);
    const QColor colour(m_chart.SeriesColour(index));
    if (IsAreaKind(series.kind) && !pixels.empty()) {
        std::vector<QPoint> outline = pixels;
        if (horizontal) {
            const int base = m_x.Pixel(std::clamp(0.0, m_x.min, m_x.max));
            outline.emplace_back(base, pixels.back().y());
            outline.emplace_back(base, pixels.front().y());
        } else {
            const int base = m_y.Pixel(std::clamp(0.0, m_y.min, m_y.max));
            outline.emplace_back(pixels.back().x(), base);
            outline.emplace_back(pixels.front().x(), base);
        }
        m_painter.setPen(Qt::NoPen);
        m_painter.setBrush(colour);
        m_painter.drawPolygon(outline.data(), static_cast<int>(outline.size()));
    }
    m_painter.setPen(QPen(IsAreaKind(series.kind) ? colour.darker(140) : colour,
        std::clamp(series.lineWidth, 1, 20)));
    m_painter.setBrush(Qt::NoBrush);
    if (pixels.size() == 1) {
        m_painter.drawPoint(pixels.front());
    } else if (series.lineWidth <= 1 && pixels.size() > 1) {
        // Thin lines as separate segments: each covers pixels that depend on its own ends only,
        // so the reduced points draw exactly what every point would. (A polyline's joins shift
        // by a pixel with the segment before.)
        std::vector<QLine> segments;
        segments.reserve(pixels.size() - 1);
        for (std::size_t i = 1; i < pixels.size(); ++i)
            segments.emplace_back(pixels[i - 1], pixels[i]);
        m_painter.drawLines(segments.data(), static_cast<int>(segments.size()));
    } else if (!pixels.empty()) {
        m_painter.drawPolyline(pixels.data(), static_cast<int>(pixels.size()));
    }
    if (MarksFit(series) && series.kind != SeriesKind::FastLine) {
        m_painter.save();
        m_painter.setClipping(false);
        for (const ChartPoint &point : series.points) {
            const QPoint anchor(m_x.Pixel(point.x), m_y.Pixel(point.y));
            PaintMark(series, anchor, horizontal ? QPoint(1, 0) : QPoint(0, -1),
                valueText(horizontal ? point.x : point.y));
        }
        m_painter.restore();
    }
}

void Painter::PaintPoints(std::size_t index)
{
    const ChartSeries &series = m_chart.series[index];
    const bool marks = MarksFit(series);
    m_painter.setPen(Qt::black);
    for (std::size_t i = 0; i < series.points.size(); ++i) {
        const ChartPoint &point = series.points[i];
        const QPoint at(m_x.Pixel(point.x), m_y.Pixel(point.y));
        m_painter.setBrush(QColor(m_chart.PointColour(series, i)));
        m_painter.drawRect(QRect(at - QPoint(4, 4), QSize(9, 9)));
    }
    if (!marks)
        return;
    m_painter.save();
    m_painter.setClipping(false);
    for (const ChartPoint &point : series.points)
        PaintMark(series, QPoint(m_x.Pixel(point.x), m_y.Pixel(point.y) - 5), QPoint(0, -1),
            valueText(point.y));
    m_painter.restore();
}

void Painter::PaintPies(const QRect &rest, std::vector<QRect> &circles)
{
    std::vector<std::size_t> pies;
    for (std::size_t i = 0; i < m_chart.series.size(); ++i)
        if (m_chart.series[i].kind == SeriesKind::Pie)
            pies.push_back(i);
    const int cellWidth = rest.width() / static_cast<int>(pies.size());
    for (std::size_t n = 0; n < pies.size(); ++n) {
        const ChartSeries &series = m_chart.series[pies[n]];
        const QRect cell(
            rest.left() + static_cast<int>(n) * cellWidth, rest.top(), cellWidth, rest.height());
        const int diameter = std::max(4, std::min(cell.width(), cell.height()) * 6 / 10);
        QRect circle(0, 0, diameter, diameter);
        circle.moveCenter(cell.center());
        circles.push_back(circle);
        double total = 0;
        for (const ChartPoint &point : series.points)
            total += std::fabs(point.y);
        if (!(total > 0) || !std::isfinite(total))
            continue;
        const bool marks = MarksFit(series);
        double angle = 0; // degrees, counter-clockwise from three o'clock
        m_painter.setPen(Qt::black);
        std::vector<std::pair<double, std::size_t>> middles;
        for (std::size_t i = 0; i < series.points.size(); ++i) {
            const double span = std::fabs(series.points[i].y) / total * 360.0;
            if (span <= 0)
                continue;
            m_painter.setBrush(QColor(m_chart.PointColour(series, i)));
            m_painter.drawPie(circle, static_cast<int>(std::lround(angle * 16)),
                static_cast<int>(std::lround(span * 16)));
            middles.emplace_back(angle + span / 2, i);
            angle += span;
        }
        if (!marks)
            continue;
        for (const auto &[middle, i] : middles) {
            const double radians = qDegreesToRadians(middle);
            const QPointF unit(std::cos(radians), -std::sin(radians));
            const QPointF rim = QPointF(circle.center()) + unit * (diameter / 2.0);
            const QPoint direction(
                std::fabs(unit.x()) > std::fabs(unit.y()) ? (unit.x() > 0 ? 1 : -1) : 0,
                std::fabs(unit.x()) > std::fabs(unit.y()) ? 0 : (unit.y() > 0 ? 1 : -1));
            const ChartPoint &point = series.points[i];
            PaintMark(series, rim.toPoint(), direction,
                PointLabel(series, i).empty() ? valueText(point.y)
                                              : QString::fromStdString(PointLabel(series, i)));
        }
    }
}

} // namespace

double ChartGeometry::XValue(double pixel) const
{
    if (plot.width() <= 1)
        return xMin;
    return xMin + (pixel - plot.left()) * (xMax - xMin) / (plot.right() - plot.left());
}

double ChartGeometry::YValue(double pixel) const
{
    if (plot.height() <= 1)
        return yMin;
    return yMin + (plot.bottom() - pixel) * (yMax - yMin) / (plot.bottom() - plot.top());
}

ChartGeometry PaintChart(
    const Chart &chart, QPainter &painter, const QRect &area, const PaintOptions &options)
{
    return Painter(chart, painter, area, options).Paint();
}
