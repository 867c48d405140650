#include "ChartTestSupport.h"
#include "TestDatabases.h"

#include "chart/ChartPainter.h"
#include "chart/PointReduction.h"

#include <QImage>
#include <QPainter>
#include <QtMath>

#include <random>

namespace {

struct Picture
{
    QImage image;
    ChartGeometry geometry;

    QPoint At(double x, double y) const
    {
        const QRect &plot = geometry.plot;
        return QPoint(qRound(plot.left()
                          + (x - geometry.xMin) * (plot.right() - plot.left())
                              / (geometry.xMax - geometry.xMin)),
            qRound(plot.bottom()
                - (y - geometry.yMin) * (plot.bottom() - plot.top())
                    / (geometry.yMax - geometry.yMin)));
    }
    QString Colour(QPoint at) const { return QColor(image.pixel(at)).name().toUpper(); }
    QString Colour(double x, double y) const { return Colour(At(x, y)); }
};

Picture Paint(const Chart &chart, const PaintOptions &options = {}, QSize size = { 800, 600 })
{
    Picture picture { QImage(size, QImage::Format_ARGB32_Premultiplied), {} };
    picture.image.fill(Qt::white);
    QPainter painter(&picture.image);
    picture.geometry = PaintChart(chart, painter, QRect(QPoint(), size), options);
    return picture;
}

class ChartPixelsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.exec("create table tPay (cMonth varchar(10), iAge integer, nPay integer, iSeq integer)");
        db.exec("insert into tPay values ('Jan', 30, 10, 1), ('Feb', 40, 20, 2), "
                "('Mar', 100, 40, 3)");
        OpenQuery(query, db.payroll(), "select * from tPay order by iSeq");
    }
    Chart Build(const QString &x, const QString &y, int chartType = 0)
    {
        Chart chart;
        ChartBuilder builder;
        QString error;
        EXPECT_TRUE(BuildAsShown(builder, chart, query, "cMonth,iAge,nPay,iSeq", x, y, error));
        if (chartType != 0) {
            builder.SetChartType(chartType);
            EXPECT_TRUE(builder.RefreshChart(chart, query, true, false, std::nullopt, error));
        }
        return chart;
    }
    TestDatabases db;
    TQuillonADOQuery query;
    RecordingDelegate delegate;
    ScopedUiDelegate scoped { delegate };
};

} // namespace

TEST_F(ChartPixelsTest, OneYColumnColoursEachBarAndBarsStandAtTheirX)
{
    for (const bool view3D : { true, false }) {
        SCOPED_TRACE(view3D);
        Chart chart = Build("iAge", "nPay");
        chart.view3D = view3D;
        const Picture picture = Paint(chart);
        ASSERT_TRUE(picture.geometry.hasAxes);
        EXPECT_EQ(picture.Colour(30, 5), "#4B7519"); // 19754B, read blue-green-red
        EXPECT_EQ(picture.Colour(40, 10), "#E6C0A8");
        EXPECT_EQ(picture.Colour(100, 20), "#DBF4E3");
        // The room between 40 and 100 is empty: bars stand by the scale, not side by side.
        EXPECT_NE(picture.Colour(70, 5), "#4B7519");
        EXPECT_NE(picture.Colour(70, 5), "#E6C0A8");
        EXPECT_NE(picture.Colour(70, 5), "#DBF4E3");
    }
}

TEST_F(ChartPixelsTest, TwoYColumnsColourBySeriesAndHorizontalBarsRunSideways)
{
    const Picture series = Paint(Build("cMonth", "nPay,iSeq"));
    for (const double position : { 1, 2, 3 })
        EXPECT_EQ(series.Colour(position, 5), "#4B7519") << position;
    for (const double position : { 4, 5, 6 })
        EXPECT_EQ(series.Colour(position, 0.5), "#E6C0A8") << position;

    const Picture sideways = Paint(Build("cMonth", "nPay", 2));
    EXPECT_EQ(sideways.Colour(5, 1), "#4B7519");
    EXPECT_EQ(sideways.Colour(35, 3), "#DBF4E3");
    EXPECT_NE(sideways.Colour(35, 2), "#E6C0A8"); // Feb ends at 20
}

TEST_F(ChartPixelsTest, EachPieSliceTakesItsPointsColour)
{
    const Picture picture = Paint(Build("cMonth", "nPay", 5));
    ASSERT_EQ(picture.geometry.pies.size(), 1u);
    const QRect circle = picture.geometry.pies.front();
    // Slices of 10, 20 and 40 out of 70, counter-clockwise from three o'clock.
    double start = 0;
    const char *colours[] = { "#4B7519", "#E6C0A8", "#DBF4E3" };
    int i = 0;
    for (const double value : { 10.0, 20.0, 40.0 }) {
        const double middle = qDegreesToRadians(start + value / 70 * 180);
        const QPoint probe = circle.center()
            + QPoint(qRound(std::cos(middle) * circle.width() / 4),
                -qRound(std::sin(middle) * circle.width() / 4));
        EXPECT_EQ(picture.Colour(probe), colours[i++]) << value;
        start += value / 70 * 360;
    }
}

TEST(ChartPointReduction, DrawsTheSameLineAsEveryPoint)
{
    Chart chart;
    ChartSeries line;
    line.kind = SeriesKind::Line;
    std::mt19937 random(7);
    std::normal_distribution<double> step(0, 3);
    double value = 0;
    for (int i = 0; i < 50000; ++i) {
        value += step(random);
        line.points.push_back({ double(i), value, 0, true });
    }
    chart.series.push_back(line);
    ChartSeries across = line;
    across.kind = SeriesKind::HorizLine;
    for (ChartPoint &point : across.points)
        std::swap(point.x, point.y);
    std::vector<QPoint> pixels;
    for (int i = 0; i < 50000; ++i)
        pixels.emplace_back(i / 50, (i * 7919) % 600);
    EXPECT_LE(ReducePerPixelColumn(pixels).size(), 4000u); // of 50,000
    for (const ChartSeries &series : { line, across }) {
        chart.series = { series };
        const Picture reduced = Paint(chart, { true }, { 1000, 800 });
        const Picture full = Paint(chart, { false }, { 1000, 800 });
        int differ = 0;
        QPoint first;
        for (int y = 0; y < 800; ++y)
            for (int x = 0; x < 1000; ++x)
                if (reduced.image.pixel(x, y) != full.image.pixel(x, y) && differ++ == 0)
                    first = QPoint(x, y);
        EXPECT_EQ(differ, 0) << int(series.kind) << " first at " << first.x() << "," << first.y();
    }
}
