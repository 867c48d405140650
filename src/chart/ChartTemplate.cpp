#include "chart/ChartTemplate.h"

#include "chart/ChartModel.h"

#include <QColor>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

constexpr const char *kFormat = "qpCharts chart template";
constexpr int kMajor = 1;
constexpr int kMinor = 0;

QJsonValue colourValue(QRgb colour)
{
    return QColor(colour).name().toUpper();
}

QJsonObject axisObject(const ChartAxis &axis)
{
    return QJsonObject { { "title", QString::fromStdString(axis.title) },
        { "visible", axis.visible }, { "automatic", axis.automatic }, { "minimum", axis.minimum },
        { "maximum", axis.maximum } };
}

// Reads what a template gives, keeping the first fault; missing keys keep the defaults.
class Reader
{
public:
    QString fault;

    void text(const QJsonObject &object, const char *key, std::string &target)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return;
        if (!value.isString())
            return fail(key, "is not a text");
        const QString read = value.toString();
        if (read.size() > kMaxTemplateText)
            return fail(key, "is longer than 1000 characters");
        target = read.toStdString();
    }
    void flag(const QJsonObject &object, const char *key, bool &target)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return;
        if (!value.isBool())
            return fail(key, "is not true or false");
        target = value.toBool();
    }
    void whole(const QJsonObject &object, const char *key, int low, int high, int &target)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return;
        const double read = value.toDouble(std::nan(""));
        if (!value.isDouble() || read != std::floor(read) || read < low || read > high)
            return fail(key,
                QStringLiteral("is not a whole number from %1 to %2")
                    .arg(low)
                    .arg(high)
                    .toLatin1()
                    .constData());
        target = static_cast<int>(read);
    }
    void number(const QJsonObject &object, const char *key, double &target)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return;
        if (!value.isDouble() || !std::isfinite(value.toDouble()))
            return fail(key, "is not a number");
        target = value.toDouble();
    }
    void colour(const QJsonObject &object, const char *key, QRgb &target)
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return;
        const QString text = value.toString();
        if (!value.isString() || text.size() != 7 || !text.startsWith(QLatin1Char('#'))
            || !QColor::isValidColorName(text))
            return fail(key, "is not a colour written #RRGGBB");
        target = QColor::fromString(text).rgb();
    }
    QJsonObject object(const QJsonObject &parent, const char *key)
    {
        const QJsonValue value = parent.value(QLatin1String(key));
        if (!value.isUndefined() && !value.isObject())
            fail(key, "is not an object");
        return value.toObject();
    }
    void axis(const QJsonObject &parent, const char *key, ChartAxis &axis)
    {
        const QJsonObject read = object(parent, key);
        text(read, "title", axis.title);
        flag(read, "visible", axis.visible);
        flag(read, "automatic", axis.automatic);
        number(read, "minimum", axis.minimum);
        number(read, "maximum", axis.maximum);
    }

private:
    void fail(const char *key, const char *what)
    {
        if (fault.isEmpty())
            fault = QStringLiteral("the value of \"%1\" %2.")
                        .arg(QLatin1String(key), QLatin1String(what));
    }
};

bool readVersion(const QJsonObject &root, QString &reason)
{
    if (root.value(QLatin1String("format")).toString() != QLatin1String(kFormat)) {
        reason = QStringLiteral("the stored data is not a chart template.");
        return false;
    }
    const QString version = root.value(QLatin1String("version")).toString();
    const QStringList parts = version.split(QLatin1Char('.'));
    bool majorOk = false;
    const int major = parts.value(0).toInt(&majorOk);
    if (!majorOk || parts.size() != 2 || major < 1) {
        reason = QStringLiteral("the chart template has no valid version.");
        return false;
    }
    if (major > kMajor) {
        reason = QStringLiteral("the chart template is of version %1, newer than this program "
                                "reads (%2.x).")
                     .arg(version.left(20))
                     .arg(kMajor);
        return false;
    }
    return true;
}

} // namespace

QByteArray SaveChartTemplate(const Chart &chart)
{
    const ChartAppearance &look = chart.appearance;
    QJsonObject chartObject { { "title", QString::fromStdString(chart.title) },
        { "legend", chart.legendVisible }, { "view3D", chart.view3D },
        { "depthPercent", chart.depthPercent }, { "background", colourValue(look.background) },
        { "backWall", colourValue(look.backWall) }, { "sideWalls", colourValue(look.sideWalls) },
        { "wallPen", colourValue(look.wallPen) }, { "frame", colourValue(look.frame) },
        { "titleColour", colourValue(look.titleColour) }, { "titlePixels", look.titlePixels },
        { "axisLine", colourValue(look.axisLine) }, { "axisLabels", colourValue(look.axisLabels) },
        { "bottomAxis", axisObject(chart.bottomAxis) },
        { "leftAxis", axisObject(chart.leftAxis) } };
    QJsonArray seriesArray;
    for (const ChartSeries &series : chart.series) {
        seriesArray.append(QJsonObject { { "kind", SeriesKindKey(series.kind) },
            { "title", QString::fromStdString(series.title) },
            { "colour", series.autoColour ? QJsonValue() : colourValue(series.colour) },
            { "colorEachPoint", series.colorEachPoint }, { "lineWidth", series.lineWidth },
            { "marks",
                QJsonObject { { "visible", series.marks.visible },
                    { "back", colourValue(series.marks.backColour) },
                    { "arrow", colourValue(series.marks.arrowColour) } } } });
    }
    const QJsonObject root { { "format", kFormat },
        { "version", QStringLiteral("%1.%2").arg(kMajor).arg(kMinor) }, { "chart", chartObject },
        { "series", seriesArray } };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

TemplateLoad LoadChartTemplate(const QByteArray &bytes, Chart &chart, QString &reason)
{
    if (bytes.isEmpty())
        return TemplateLoad::Empty;
    if (bytes.size() > kMaxTemplateBytes) {
        reason = QStringLiteral("the chart template is larger than 256 KiB.");
        return TemplateLoad::Failed;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
        reason = parseError.error != QJsonParseError::NoError
            ? QStringLiteral("the chart template is damaged at byte %1 (%2).")
                  .arg(parseError.offset)
                  .arg(parseError.errorString())
            : QStringLiteral("the stored data is not a chart template.");
        return TemplateLoad::Failed;
    }
    const QJsonObject root = document.object();
    if (!readVersion(root, reason))
        return TemplateLoad::Failed;

    // Read into a copy: a template that fails half way changes nothing.
    Chart read = chart;
    Reader reader;
    const QJsonObject chartObject = reader.object(root, "chart");
    reader.text(chartObject, "title", read.title);
    reader.flag(chartObject, "legend", read.legendVisible);
    reader.flag(chartObject, "view3D", read.view3D);
    reader.whole(chartObject, "depthPercent", 0, 100, read.depthPercent);
    ChartAppearance &look = read.appearance;
    reader.colour(chartObject, "background", look.background);
    reader.colour(chartObject, "backWall", look.backWall);
    reader.colour(chartObject, "sideWalls", look.sideWalls);
    reader.colour(chartObject, "wallPen", look.wallPen);
    reader.colour(chartObject, "frame", look.frame);
    reader.colour(chartObject, "titleColour", look.titleColour);
    reader.whole(chartObject, "titlePixels", 4, 96, look.titlePixels);
    reader.colour(chartObject, "axisLine", look.axisLine);
    reader.colour(chartObject, "axisLabels", look.axisLabels);
    reader.axis(chartObject, "bottomAxis", read.bottomAxis);
    reader.axis(chartObject, "leftAxis", read.leftAxis);

    const QJsonValue seriesValue = root.value(QLatin1String("series"));
    if (!seriesValue.isUndefined() && !seriesValue.isArray()) {
        reason = QStringLiteral("the value of \"series\" is not a list.");
        return TemplateLoad::Failed;
    }
    const QJsonArray seriesArray = seriesValue.toArray();
    if (seriesArray.size() > kMaxTemplateSeries) {
        reason = QStringLiteral("the chart template holds more than %1 series.")
                     .arg(kMaxTemplateSeries);
        return TemplateLoad::Failed;
    }
    read.series.clear();
    for (const QJsonValue &item : seriesArray) {
        if (!item.isObject()) {
            reason = QStringLiteral("a series of the chart template is not an object.");
            return TemplateLoad::Failed;
        }
        const QJsonObject object = item.toObject();
        ChartSeries series;
        std::string kind = SeriesKindKey(SeriesKind::Bar);
        reader.text(object, "kind", kind);
        if (reader.fault.isEmpty() && !SeriesKindFromKey(kind, series.kind)) {
            reason = QStringLiteral("a series of the chart template is of an unknown kind.");
            return TemplateLoad::Failed;
        }
        reader.text(object, "title", series.title);
        if (object.value(QLatin1String("colour")).isNull()
            || object.value(QLatin1String("colour")).isUndefined()) {
            series.autoColour = true;
        } else {
            series.autoColour = false;
            reader.colour(object, "colour", series.colour);
        }
        reader.flag(object, "colorEachPoint", series.colorEachPoint);
        reader.whole(object, "lineWidth", 1, 20, series.lineWidth);
        const QJsonObject marks = reader.object(object, "marks");
        reader.flag(marks, "visible", series.marks.visible);
        reader.colour(marks, "back", series.marks.backColour);
        reader.colour(marks, "arrow", series.marks.arrowColour);
        read.series.push_back(std::move(series));
    }
    if (!reader.fault.isEmpty()) {
        reason = reader.fault;
        return TemplateLoad::Failed;
    }
    chart = std::move(read);
    return TemplateLoad::Loaded;
}
