#include "chart/ChartBuilder.h"

#include "chart/ChartTemplate.h"

#include "host/core/Messages.h"
#include "host/db/dataset/ResultColumn.h"
#include "host/db/dataset/ResultColumns.h"
#include "host/db/dataset/TQuillonDataSet.h"

#include <QLocale>

#include <charconv>
#include <cmath>

namespace {

// Halves go to the even neighbour (the default rounding mode, which rint follows), as the text
// test rounds.
bool roundToInteger(double value, qint64 &result)
{
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18)
        return false;
    result = static_cast<qint64>(std::rint(value));
    return true;
}

bool isLabelType(FieldType type)
{
    return type == FieldType::String || isDateType(type);
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

// A value read as a number: nulls count as 0; text must be a number in full.
inline bool readNumber(const ResultColumn &column, std::size_t row, qint64 &value)
{
    if (column.isNull(row)) {
        value = 0;
        return true;
    }
    switch (column.storage()) {
    case ResultColumn::Storage::Integer:
        value = column.integerAt(row);
        return true;
    case ResultColumn::Storage::Real:
        return roundToInteger(column.realAt(row), value);
    case ResultColumn::Storage::Date:
        return roundToInteger(static_cast<double>(column.integerAt(row)), value);
    case ResultColumn::Storage::Text: {
        const std::string_view text = trimmed(column.textAt(row));
        double number = 0;
        const auto end = text.data() + text.size();
        const auto result = std::from_chars(text.data(), end, number);
        return result.ec == std::errc() && result.ptr == end && roundToInteger(number, value);
    }
    case ResultColumn::Storage::Pending:
    case ResultColumn::Storage::Bytes:
        break;
    }
    return false;
}

QString conversionError(const ResultColumn &column, std::size_t row)
{
    QString shown = QString::fromStdString(column.displayText(row));
    if (shown.size() > 40)
        shown = shown.left(40) + QStringLiteral("...");
    return QStringLiteral("\"%1\" in the column %2 is not a number that can be charted.")
        .arg(shown, QString::fromStdString(column.name()));
}

} // namespace

QString ChartTemplateMessage(const QString &reason)
{
    return QStringLiteral("Unable to save the chart template!\rReason: %1").arg(reason);
}

bool ChartBuilder::ValidColumn(const QString &Name, const QString &List)
{
    if (Name.isEmpty() || List.isEmpty())
        return false;
    return (QLatin1Char(',') + List + QLatin1Char(','))
        .contains(QLatin1Char(',') + Name + QLatin1Char(','));
}

void ChartBuilder::PrepareCount(const QString &X, const QString &Y, bool AutoPick)
{
    FCount = 0;
    if (!X.isEmpty()) {
        if (!ValidColumn(X, FColumnList))
            return;
        FCount = 1;
        if (!Y.isEmpty())
            FCount = 2 + static_cast<int>(Y.count(QLatin1Char(',')));
    } else if (AutoPick) {
        if (FColumnList.contains(QLatin1Char(',')))
            FCount = 2;
        else if (!FColumnList.isEmpty())
            FCount = 1;
    }
}

void ChartBuilder::PrepareXYColumn(const QString &X, const QString &Y, bool AutoPick)
{
    if (FCount <= 0)
        return;
    if (!X.isEmpty()) {
        FXColumn = X;
        if (Y.isEmpty())
            return;
        FYColumn.assign(static_cast<std::size_t>(FCount - 1), QString());
        std::size_t next = 0;
        for (const QString &piece : Y.split(QLatin1Char(','))) {
            if (ValidColumn(piece, FColumnList))
                FYColumn[next++] = piece;
            else
                --FCount;
        }
    } else if (AutoPick) {
        if (FCount == 1) {
            FXColumn = FColumnList;
        } else {
            const QStringList names = FColumnList.split(QLatin1Char(','));
            FXColumn = names.value(0);
            FYColumn.assign(1, names.value(1));
        }
    }
}

QString ChartBuilder::GetYColumn() const
{
    QStringList names;
    for (int i = 0; i + 2 <= FCount && i < static_cast<int>(FYColumn.size()); ++i)
        names << FYColumn[static_cast<std::size_t>(i)];
    return names.join(QLatin1Char(','));
}

bool ChartBuilder::ValidateInt(const QString &Text, qint64 &Value)
{
    if (Text.isEmpty())
        return false;
    Value = 0;
    QString rest = Text;
    const qsizetype dollar = rest.indexOf(QLatin1Char('$'));
    if (dollar >= 0)
        rest.remove(dollar, 1);
    rest.remove(QLatin1Char(','));
    bool ok = false;
    const double number = QLocale().toDouble(rest, &ok);
    qint64 rounded = 0;
    if (!ok || !roundToInteger(number, rounded))
        return false;
    Value = rounded;
    return true;
}

int ChartBuilder::SetChartType(const ChartSeries &series)
{
    return static_cast<int>(series.kind);
}

std::size_t ChartBuilder::SetSeries(Chart &chart, bool ForceBar, bool UseChosenType) const
{
    ChartSeries series;
    if (ForceBar)
        series.kind = SeriesKind::Bar;
    else if (UseChosenType)
        series.kind = SeriesKindFromIndex(FChartType);
    else // with no series to copy, a bar
        series.kind = chart.series.empty() ? SeriesKind::Bar : chart.series.front().kind;
    series.marks.backColour = qRgb(255, 255, 255);
    series.marks.arrowColour = qRgb(0, 0, 0);
    series.colorEachPoint = FCount == 2;
    chart.series.push_back(std::move(series));
    return chart.series.size() - 1;
}

bool ChartBuilder::RefreshChart(Chart &chart, const TQuillonDataSet &data, bool Recreate,
    bool LoadTemplate, const std::optional<QByteArray> &layout, QString &error)
{
    chart.palette = FPalette;
    bool templateLoaded = false;
    if (LoadTemplate) {
        if (layout) {
            QString reason;
            const TemplateLoad loaded = LoadChartTemplate(*layout, chart, reason);
            templateLoaded = loaded == TemplateLoad::Loaded;
            if (loaded == TemplateLoad::Failed)
                ErrMessage(ChartTemplateMessage(reason));
        }
    } else if (Recreate) {
        chart.series.clear();
    } else {
        for (ChartSeries &series : chart.series) {
            series.points.clear();
            series.labels.clear();
        }
    }
    if (!data.Active() || data.RecordCount() == 0)
        return true;
    const int xField = FCount > 0 ? data.FieldIndex(FXColumn) : -1;
    if (FCount > 0 && xField < 0) {
        error = QStringLiteral("The result has no column %1 to chart.").arg(FXColumn);
        return false;
    }
    double position = 1;
    if (FCount > 0) {
        const QString title = QString::fromStdString(chart.title).trimmed();
        if (title.isEmpty() || title == QLatin1String(kPlaceholderTitle))
            chart.title = FDescription.toStdString();
        if (FCount > 1) {
            const int first = data.FieldIndex(FYColumn.empty() ? QString() : FYColumn.front());
            if (first >= 0)
                chart.leftAxis.title = data.FieldName(first).toStdString();
        }
        chart.bottomAxis.title = data.FieldName(xField).toStdString();
    }
    std::vector<std::size_t> used;
    for (int k = 1; k <= FCount - 1; ++k) {
        const QString &name = FYColumn[static_cast<std::size_t>(k - 1)];
        std::size_t index = static_cast<std::size_t>(k - 1);
        if (k > static_cast<int>(chart.series.size()) || (LoadTemplate && !templateLoaded)
            || Recreate)
            index = SetSeries(chart, LoadTemplate && !templateLoaded, Recreate);
        used.push_back(index);
        chart.series[index].title = name.toStdString();
        const int yField = data.FieldIndex(name);
        if (yField < 0) {
            error = QStringLiteral("The result has no column %1 to chart.").arg(name);
            return false;
        }
        if (!FillSeries(chart, index, data, xField, yField, position, error))
            return false;
    }
    // Only the series just filled stay, in their order.
    if (FCount <= 1) {
        chart.series.clear();
    } else {
        std::vector<ChartSeries> kept;
        kept.reserve(used.size());
        for (const std::size_t index : used)
            kept.push_back(std::move(chart.series[index]));
        chart.series = std::move(kept);
    }
    return true;
}

bool ChartBuilder::FillSeries(Chart &chart, std::size_t index, const TQuillonDataSet &data,
    int xField, int yField, double &position, QString &error) const
{
    ChartSeries &series = chart.series[index];
    const ResultColumns &store = *data.ColumnStore();
    const ResultColumn &xColumn = store.column(xField);
    const ResultColumn &yColumn = store.column(yField);
    const bool xLabels = isLabelType(data.FieldDataType(xField));
    const FieldType yType = data.FieldDataType(yField);
    const int records = data.RecordCount();
    bool numericText = true;
    if (yType == FieldType::String) {
        for (int record = 0; record < records && numericText; ++record) {
            qint64 ignored = 0;
            const auto row = static_cast<std::size_t>(data.RowOfRecord(record));
            numericText = ValidateInt(yColumn.isNull(row)
                    ? QString()
                    : QString::fromUtf8(yColumn.textAt(row).data(),
                        static_cast<qsizetype>(yColumn.textAt(row).size())),
                ignored);
        }
    }
    const bool counted = !(yType == FieldType::String && numericText) && isLabelType(yType);
    const bool swap = IsHorizontal(series.kind);
    const bool ownColour = FCount != 2;
    const QRgb colour = chart.SeriesColour(index);
    qint64 yCount = 1;
    series.numberLabels = !xLabels;
    series.points.reserve(series.points.size() + static_cast<std::size_t>(records));
    if (xLabels)
        series.labels.resize(series.points.size());
    const bool filtered = data.Filtered();
    for (int record = 0; record < records; ++record) {
        const auto row = static_cast<std::size_t>(filtered ? data.RowOfRecord(record) : record);
        if (xLabels) {
            series.labels.push_back(xColumn.isNull(row) ? std::string() : xColumn.displayText(row));
        } else {
            qint64 x = 0;
            if (!readNumber(xColumn, row, x)) {
                error = conversionError(xColumn, row);
                return false;
            }
            position = static_cast<double>(x);
        }
        qint64 y = 0;
        if (yType == FieldType::String && numericText) {
            const std::string_view text = yColumn.textAt(row);
            ValidateInt(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())), y);
        } else if (counted) {
            y = ++yCount;
        } else if (!readNumber(yColumn, row, y)) {
            error = conversionError(yColumn, row);
            return false;
        }
        const double value = static_cast<double>(y);
        series.points.push_back({ swap ? value : position, swap ? position : value,
            ownColour ? colour : 0, !ownColour });
        if (xLabels)
            position += 1;
    }
    return true;
}
