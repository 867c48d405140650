#include "chart/ChartTemplate.h"
#include "chart/ChartModel.h"
#include "chart/CustomColours.h"

#include <gtest/gtest.h>

namespace {

Chart EveryKind()
{
    Chart chart;
    chart.title = "Pay \"by\" month \xE2\x82\xAC";
    chart.legendVisible = false;
    chart.view3D = false;
    chart.depthPercent = 30;
    chart.bottomAxis = { "Month", true, false, 2, 9.5 };
    chart.appearance.backWall = qRgb(1, 2, 3);
    for (int kind = 0; kind < kSeriesKindCount; ++kind) {
        ChartSeries series;
        series.kind = static_cast<SeriesKind>(kind);
        series.title = "series " + std::to_string(kind);
        series.autoColour = kind % 2 == 0;
        series.colour = qRgb(kind, 100, 200);
        series.lineWidth = kind + 1;
        series.marks.visible = kind != 3;
        series.points.push_back({ 12345, 67890, 0, true });
        series.labels.push_back("secret label");
        chart.series.push_back(series);
    }
    return chart;
}

} // namespace

TEST(ChartTemplate, RoundTripsEveryKindToTheSameBytesWithoutPoints)
{
    const QByteArray saved = SaveChartTemplate(EveryKind());
    EXPECT_FALSE(saved.contains("12345"));
    EXPECT_FALSE(saved.contains("67890"));
    EXPECT_FALSE(saved.contains("secret label"));
    Chart loaded;
    QString reason;
    ASSERT_EQ(LoadChartTemplate(saved, loaded, reason), TemplateLoad::Loaded)
        << reason.toStdString();
    ASSERT_EQ(loaded.series.size(), 9u);
    for (int kind = 0; kind < kSeriesKindCount; ++kind) {
        EXPECT_EQ(loaded.series[kind].kind, static_cast<SeriesKind>(kind));
        EXPECT_TRUE(loaded.series[kind].points.empty());
    }
    EXPECT_EQ(loaded.title, EveryKind().title);
    EXPECT_FALSE(loaded.legendVisible);
    EXPECT_EQ(loaded.bottomAxis.maximum, 9.5);
    EXPECT_EQ(SaveChartTemplate(loaded), saved);
}

TEST(ChartTemplate, RefusesWhatItCannotReadAndLeavesTheChartAlone)
{
    const QByteArray saved = SaveChartTemplate(EveryKind());
    const auto changed = [&saved](const char *from, const char *to) {
        return QByteArray(saved).replace(from, to);
    };
    const char *version = "\"version\": \"1.0\"";
    const struct
    {
        const char *name;
        QByteArray bytes;
        TemplateLoad result;
        QString reason;
    } rows[] = {
        { "empty", QByteArray(), TemplateLoad::Empty, "" },
        { "truncated", saved.left(40), TemplateLoad::Failed, "the chart template is damaged" },
        { "newer major", changed(version, "\"version\": \"2.0\""), TemplateLoad::Failed,
            "the chart template is of version 2.0, newer than this program reads (1.x)." },
        { "newer minor, unknown keys",
            changed(version, "\"version\": \"1.7\"")
                .replace("\"legend\": false", "\"legend\": false, \"sparkle\": [1, 2]"),
            TemplateLoad::Loaded, "" },
        { "unknown kind", changed("\"pie\"", "\"donut\""), TemplateLoad::Failed,
            "a series of the chart template is of an unknown kind." },
        { "bad colour", changed("#010203", "#01020G"), TemplateLoad::Failed,
            "the value of \"backWall\" is not a colour written #RRGGBB." },
        { "too many series",
            "{\"format\": \"qpCharts chart template\", \"version\": \"1.0\", \"series\": ["
                + QByteArray("{}, ").repeated(100) + "{}]}",
            TemplateLoad::Failed, "the chart template holds more than 100 series." },
        { "oversized", QByteArray(kMaxTemplateBytes + 1, ' '), TemplateLoad::Failed,
            "the chart template is larger than 256 KiB." },
        { "other JSON", "[1, 2]", TemplateLoad::Failed,
            "the stored data is not a chart template." },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        Chart chart;
        chart.title = "untouched";
        chart.series.push_back({});
        QString reason;
        EXPECT_EQ(LoadChartTemplate(row.bytes, chart, reason), row.result);
        if (row.reason.isEmpty())
            EXPECT_TRUE(reason.isEmpty()) << reason.toStdString();
        else
            EXPECT_TRUE(reason.startsWith(row.reason)) << reason.toStdString();
        if (row.result != TemplateLoad::Loaded) {
            EXPECT_EQ(chart.title, "untouched");
            EXPECT_EQ(chart.series.size(), 1u);
        }
    }
}

TEST(CustomColours, WindowsAppendToOneListThatRoundTrips)
{
    CustomColourList().clear();
    LoadCustomColours(QString());
    LoadCustomColours(QStringLiteral("Mine=0000FF,Yours=00FF00"));
    const QString stored = StoredCustomColours();
    EXPECT_TRUE(stored.startsWith("ColorA=006637,ColorB=4C9473,"));
    EXPECT_TRUE(stored.endsWith(",ColorP=DFDBE5,Mine=0000FF,Yours=00FF00"));
    CustomColourList().clear();
    LoadCustomColours(stored);
    EXPECT_EQ(StoredCustomColours(), stored);
    EXPECT_EQ(CustomColourList().size(), 18);
}
