#include "ChartBench.h"

#include "BenchData.h"

#include "chart/ChartBuilder.h"
#include "chart/ChartModel.h"
#include "chart/ChartPainter.h"
#include "host/db/dataset/ResultColumn.h"
#include "host/db/dataset/ResultColumns.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/SqliteConnection.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace {

constexpr int kPoints = 100000;
constexpr int kRuns = 7;

template <typename Work> double fastestMs(Work work)
{
    double best = 1e100;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

Chart randomWalk()
{
    Chart chart;
    chart.title = "Benchmark";
    ChartSeries line;
    line.kind = SeriesKind::Line;
    line.title = "fValue";
    line.numberLabels = true;
    line.points.reserve(kPoints);
    std::mt19937 random(11);
    std::normal_distribution<double> step(0, 5);
    double value = 0;
    for (int i = 0; i < kPoints; ++i) {
        value += step(random);
        line.points.push_back({ double(i), value, 0, true });
    }
    chart.series.push_back(std::move(line));
    return chart;
}

bool paintBenchmark()
{
    const Chart chart = randomWalk();
    QImage image(1000, 800, QImage::Format_ARGB32_Premultiplied);
    ChartGeometry geometry;
    const double chartMs = fastestMs([&] {
        image.fill(Qt::white);
        QPainter painter(&image);
        geometry = PaintChart(chart, painter, image.rect());
    });
    // The points in pixels, as the chart places them, drawn in one call.
    std::vector<QPoint> pixels;
    pixels.reserve(kPoints);
    const QRect &plot = geometry.plot;
    for (const ChartPoint &point : chart.series.front().points)
        pixels.emplace_back(
            qRound(plot.left()
                + (point.x - geometry.xMin) * plot.width() / (geometry.xMax - geometry.xMin)),
            qRound(plot.bottom()
                - (point.y - geometry.yMin) * plot.height() / (geometry.yMax - geometry.yMin)));
    const double polylineMs = fastestMs([&] {
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setPen(QColor(0x4B, 0x75, 0x19));
        painter.drawPolyline(pixels.data(), int(pixels.size()));
    });
    const bool met = chartMs < 50;
    std::printf("  %-40s %8.2f ms (target < 50 ms)  %s\n", "chart: 100,000-point line, 1000x800",
        chartMs, met ? "met" : "NOT MET");
    std::printf("  %-40s %8.2f ms\n", "one drawPolyline of the same points", polylineMs);
    std::printf("  %-40s %8.2fx\n", "chart / drawPolyline", chartMs / polylineMs);
    // A missed target is reported above; only a chart that cannot be drawn fails the run.
    return !geometry.plot.isEmpty();
}

bool buildBenchmark()
{
    QTemporaryDir folder;
    DbError error;
    auto db = SqliteConnection::open((folder.path() + "/chart.db").toStdString(),
        SqliteConnection::OpenMode::ReadWriteCreate, error);
    if (!db || !db->execute("create table t (iX integer, fY float)")
        || !db->execute("with recursive n(i) as (select 1 union all select i + 1 from n where i < "
            + std::to_string(kPoints)
            + ") insert into t select i, (i * 7919 % 10007) / 3.0 from n")) {
        std::printf("chart benchmark: cannot make the result table\n");
        return false;
    }
    TQuillonADOQuery query;
    query.SetConnection(db.get());
    query.SetSQL(QStringLiteral("select iX, fY from t"));
    if (!query.Open()) {
        std::printf("chart benchmark: %s\n", qPrintable(query.LastErrorText()));
        return false;
    }
    const ResultColumns &columns = *query.ColumnStore();
    // What one would write instead: read both columns into a list of (x, y) points.
    double checksum = 0;
    const double plainMs = fastestMs([&] {
        const ResultColumn &x = columns.column(0);
        const ResultColumn &y = columns.column(1);
        std::vector<std::pair<double, double>> pairs;
        pairs.reserve(columns.rowCount());
        for (std::size_t row = 0; row < columns.rowCount(); ++row)
            pairs.emplace_back(x.numberAt(row), y.numberAt(row));
        checksum += pairs.back().second;
    });
    std::size_t points = 0;
    const double buildMs = fastestMs([&] {
        ChartBuilder builder;
        builder.SetColumnList(QStringLiteral("iX,fY"));
        builder.PrepareCount(QString(), QString(), true);
        builder.PrepareXYColumn(QString(), QString(), true);
        Chart chart;
        QString failure;
        builder.RefreshChart(chart, query, false, true, std::nullopt, failure);
        points = chart.series.empty() ? 0 : chart.series.front().points.size();
    });
    const double ratio = buildMs / plainMs;
    std::printf("  %-40s %8.2f ms (%zu points)\n", "chart model from a 100,000-row result", buildMs,
        points);
    std::printf("  %-40s %8.2f ms%s\n", "one plain pass collecting (x, y) pairs", plainMs,
        checksum == 42 ? " " : "");
    std::printf("  %-40s %8.2fx  (target <= 2.0x)  %s\n", "chart model / plain pass", ratio,
        ratio <= 2 ? "met" : "NOT MET");
    return points == std::size_t(kPoints);
}

} // namespace

bool RunChartBenchmark()
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(BenchArguments::Get().argc, BenchArguments::Get().argv);
    std::printf("\nChart (fastest of %d runs):\n", kRuns);
    const bool painted = paintBenchmark();
    const bool built = buildBenchmark();
    return painted && built;
}
