// The chart template an IQ keeps in nChartLayout, which may come from any imported file. For any
// bytes: the reader never crashes, a refusal leaves the chart untouched, and what it accepts
// saves to bytes that read back and save again to the same bytes.
#include "chart/ChartModel.h"
#include "chart/ChartTemplate.h"

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool property)
{
    if (!property)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Chart chart;
    chart.title = "before";
    QString reason;
    const TemplateLoad result = LoadChartTemplate(bytes, chart, reason);
    if (result != TemplateLoad::Loaded) {
        require(chart.title == "before" && chart.series.empty());
        require((result == TemplateLoad::Empty) == bytes.isEmpty());
        require(result == TemplateLoad::Empty || !reason.isEmpty());
        return 0;
    }
    require(chart.series.size() <= std::size_t(kMaxTemplateSeries));
    const QByteArray saved = SaveChartTemplate(chart);
    Chart again;
    require(LoadChartTemplate(saved, again, reason) == TemplateLoad::Loaded);
    require(SaveChartTemplate(again) == saved);
    return 0;
}
