#include "ChartTestSupport.h"
#include "TestDatabases.h"

#include <QLocale>

namespace {

QStringList Describe(const ChartSeries &series)
{
    QStringList points;
    for (std::size_t i = 0; i < series.points.size(); ++i)
        points << QStringLiteral("%1:%2:%3")
                      .arg(series.points[i].x)
                      .arg(series.points[i].y)
                      .arg(QString::fromStdString(PointLabel(series, i)));
    return points;
}

class ChartBuilderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        db.exec("create table tPay (cMonth varchar(10), iAge integer, cAmount varchar(20), "
                "wNote nvarchar(20), dtPaid date, fHours float, iSeq integer)");
    }
    void Insert(std::initializer_list<Value> values)
    {
        db.exec("insert into tPay values (?, ?, ?, ?, ?, ?, ?)", values);
    }
    void Open(const QString &sql = "select * from tPay order by iSeq")
    {
        OpenQuery(query, db.payroll(), sql);
    }
    // Builds as shown from the open query.
    bool Build(const QString &columns, const QString &x, const QString &y,
        const std::optional<QByteArray> &layout = std::nullopt)
    {
        return BuildAsShown(builder, chart, query, columns, x, y, error, layout);
    }
    TestDatabases db;
    RecordingDelegate delegate;
    ScopedUiDelegate scoped { delegate };
    TQuillonADOQuery query;
    ChartBuilder builder;
    Chart chart;
    QString error;
};

} // namespace

TEST(ChartColumns, ChoosesXAndYFromStoredAndOfferedColumns)
{
    const struct
    {
        const char *name;
        QString columns, x, y;
        bool autoPick;
        int count;
        QString xColumn, yColumn;
    } rows[] = {
        { "no stored X: first two columns", "Name,Age,Dept", "", "", true, 2, "Name", "Age" },
        { "a single column: X only", "Name", "", "", true, 1, "Name", "" },
        { "Z is not offered", "X,A,B", "X", "A,B,Z", true, 3, "X", "A,B" },
        { "names compare exactly", "age,Name", "Name", "Age", true, 1, "Name", "" },
        { "a prefix is no name", "Name,Age", "Na", "Age", true, 0, "", "" },
        { "no X without auto pick", "Name,Age", "", "Age", false, 0, "", "" },
        { "empty list", "", "", "", true, 0, "", "" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        ChartBuilder builder;
        builder.SetColumnList(row.columns);
        builder.PrepareCount(row.x, row.y, row.autoPick);
        if (builder.Count() > 0)
            builder.PrepareXYColumn(row.x, row.y, row.autoPick);
        EXPECT_EQ(builder.Count(), row.count);
        EXPECT_EQ(builder.XColumn(), row.xColumn);
        EXPECT_EQ(builder.GetYColumn(), row.yColumn);
    }
}

TEST(ChartColumns, ValidateIntDropsOneDollarAndTheCommasAndRoundsHalvesToEven)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const struct
    {
        QString text;
        bool valid;
        qint64 value;
    } rows[] = { { "", false, 0 }, { "$$5", false, 0 }, { "1,000", true, 1000 },
        { "$1,200.50", true, 1200 }, { "1201.5", true, 1202 }, { "-2.5", true, -2 },
        { "abc", false, 0 }, { "1e400", false, 0 }, { "nan", false, 0 } };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text.toStdString());
        qint64 value = 77;
        EXPECT_EQ(ChartBuilder::ValidateInt(row.text, value), row.valid);
        if (row.valid) {
            EXPECT_EQ(value, row.value);
        }
    }
}

TEST_F(ChartBuilderTest, ReadsEachColumnKindAsTheRulesSay)
{
    Insert({ "Jan", 30, "$1,200.50", "7", "2024-01-31", 2.5, 1 });
    Insert({ "Feb", 40, "300", "8", "2024-02-29", 3.5, 2 });
    Insert({ "Mar", Value(), "300", Value(), "2024-03-31", -0.5, 3 });
    const struct
    {
        const char *name;
        QString x, y;
        QStringList first, second;
    } rows[] = {
        { "text X, integer Y, a null Y is 0", "cMonth", "iAge",
            { "1:30:Jan", "2:40:Feb", "3:0:Mar" }, {} },
        { "integer X, null X at 0", "iAge", "iSeq", { "30:1:30", "40:2:40", "0:3:0" }, {} },
        { "numeric text Y", "cMonth", "cAmount", { "1:1200:Jan", "2:300:Feb", "3:300:Mar" }, {} },
        { "date Y counts from 2", "cMonth", "dtPaid", { "1:2:Jan", "2:3:Feb", "3:4:Mar" }, {} },
        { "date X gives labels", "dtPaid", "iSeq",
            { "1:1:2024-01-31", "2:2:2024-02-29", "3:3:2024-03-31" }, {} },
        { "reals round halves to even", "iSeq", "fHours", { "1:2:1", "2:4:2", "3:0:3" }, {} },
        { "two Y columns continue the positions", "cMonth", "iSeq,iAge",
            { "1:1:Jan", "2:2:Feb", "3:3:Mar" }, { "4:30:Jan", "5:40:Feb", "6:0:Mar" } },
    };
    Open();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        builder = ChartBuilder();
        chart = Chart();
        ASSERT_TRUE(Build("cMonth,iAge,cAmount,wNote,dtPaid,fHours,iSeq", row.x, row.y))
            << error.toStdString();
        ASSERT_EQ(chart.series.size(), row.second.isEmpty() ? 1u : 2u);
        EXPECT_EQ(Describe(chart.series[0]), row.first);
        if (!row.second.isEmpty()) {
            EXPECT_EQ(Describe(chart.series[1]), row.second);
        }
        EXPECT_EQ(chart.series[0].kind, SeriesKind::Bar);
        EXPECT_EQ(chart.title, "Pay by month");
        EXPECT_EQ(QString::fromStdString(chart.bottomAxis.title), row.x);
        EXPECT_EQ(chart.series[0].colorEachPoint, row.second.isEmpty());
    }
    EXPECT_TRUE(delegate.messages.isEmpty());
}

TEST_F(ChartBuilderTest, TextYWithOneWordCountsEveryRowAndUnicodeWordsStopTheBuild)
{
    Insert({ "Jan", 1, "$1,200.50", "12", Value(), 0, 1 });
    Insert({ "Feb", 2, "n/a", "x y", Value(), 0, 2 });
    Insert({ "Mar", 3, "300", "14", Value(), 0, 3 });
    Open();
    ASSERT_TRUE(Build("cMonth,cAmount,wNote", "cMonth", "cAmount"));
    EXPECT_EQ(Describe(chart.series[0]), (QStringList { "1:2:Jan", "2:3:Feb", "3:4:Mar" }));

    // A Unicode text column is read as numbers: the word stops the build, the first point stays.
    chart = Chart();
    EXPECT_FALSE(Build("cMonth,cAmount,wNote", "cMonth", "wNote"));
    EXPECT_EQ(error, "\"x y\" in the column wNote is not a number that can be charted.");
    EXPECT_EQ(Describe(chart.series[0]), QStringList { "1:12:Jan" });
}

TEST_F(ChartBuilderTest, HorizontalKindsSwapAndAChosenKindRemakesEverySeries)
{
    Insert({ "Jan", 30, "", "", Value(), 0, 1 });
    Insert({ "Feb", 40, "", "", Value(), 0, 2 });
    Open();
    ASSERT_TRUE(Build("cMonth,iAge,iSeq", "cMonth", "iAge,iSeq"));
    ASSERT_EQ(chart.series.size(), 2u);
    builder.SetChartType(2);
    ASSERT_TRUE(builder.RefreshChart(chart, query, true, false, std::nullopt, error));
    ASSERT_EQ(chart.series.size(), 2u);
    for (const ChartSeries &series : chart.series)
        EXPECT_EQ(series.kind, SeriesKind::HorizBar);
    EXPECT_EQ(Describe(chart.series[0]), (QStringList { "30:1:Jan", "40:2:Feb" }));
    // Without Recreate a new series copies the first one's kind; a kind of -1 means bars.
    builder.PrepareCount("cMonth", "iAge,iSeq,iAge", false);
    builder.PrepareXYColumn("cMonth", "iAge,iSeq,iAge", false);
    ASSERT_TRUE(builder.RefreshChart(chart, query, false, false, std::nullopt, error));
    ASSERT_EQ(chart.series.size(), 3u);
    EXPECT_EQ(chart.series[2].kind, SeriesKind::HorizBar);
    builder.SetChartType(-1);
    ASSERT_TRUE(builder.RefreshChart(chart, query, true, false, std::nullopt, error));
    EXPECT_EQ(chart.series[0].kind, SeriesKind::Bar);

    // An empty result leaves the series as they are, surplus ones included.
    TQuillonADOQuery empty;
    OpenQuery(empty, db.payroll(), "select * from tPay where 0");
    builder.PrepareCount("cMonth", "iAge", false);
    builder.PrepareXYColumn("cMonth", "iAge", false);
    ASSERT_TRUE(builder.RefreshChart(chart, empty, false, false, std::nullopt, error));
    EXPECT_EQ(chart.series.size(), 3u);
}

TEST_F(ChartBuilderTest, ComputedTextColumnsAndTheFilterDecideThePoints)
{
    Insert({ "Jan", 30, "", "", Value(), 0, 1 });
    Insert({ "Feb", 40, "", "", Value(), 0, 2 });
    Insert({ "Mar", 50, "", "", Value(), 0, 3 });
    Open("select substr(cMonth, 1, 3) || '.' as cShort, iAge + 0 as nAge from tPay order by iSeq");
    ASSERT_TRUE(query.SetFilter("nAge > 30"));
    ASSERT_TRUE(Build("cShort,nAge", "", ""));
    EXPECT_EQ(Describe(chart.series[0]), (QStringList { "1:40:Feb.", "2:50:Mar." }));
}
