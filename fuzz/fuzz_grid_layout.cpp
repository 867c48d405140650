// Both layouts a grid reads back from a person's settings file, which may hold anything: the
// IQ's "Field Names" text and the grid's own stored columns. For any text: what is read saves
// and reads back the same, and the columns built from it show every result field exactly once,
// each under a caption that names it.
#include "host/ui/TmxGridLayout.h"
#include "run/ColumnLayout.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

void require(bool property)
{
    if (!property)
        std::abort();
}

bool same(const std::vector<NamedColumn> &a, const std::vector<NamedColumn> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
        [](const auto &x, const auto &y) { return x.name == y.name && x.visible == y.visible; });
}

bool same(const std::vector<TmxGridLayout::Column> &a, const std::vector<TmxGridLayout::Column> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto &x, const auto &y) {
        return x.field == y.field && x.width == y.width && x.visible == y.visible;
    });
}

void checkFieldNames(const QString &text)
{
    const std::vector<NamedColumn> named = ParseFieldNames(text);
    for (const NamedColumn &column : named)
        require(!column.name.contains(QLatin1Char(',')));
    require(same(ParseFieldNames(BuildFieldNames(named)), named));

    // Names differing in letter case only, and one no stored text can name.
    const QStringList fields { "cCode", "cName", "CCODE", "nHours", "Straße", "ÉTAT", "" };
    const ColumnLayout layout = BuildColumnLayout(fields, named);
    require(layout.offered == int(named.size()));
    require(layout.columns.size() == std::size_t(fields.size()));
    std::vector<bool> shown(fields.size(), false);
    for (const LayoutColumn &column : layout.columns) {
        require(column.fieldIndex >= 0 && column.fieldIndex < fields.size());
        require(!shown[column.fieldIndex]);
        shown[column.fieldIndex] = true;
        require(column.fieldName == fields.at(column.fieldIndex));
        require(column.caption.compare(column.fieldName, Qt::CaseInsensitive) == 0);
    }
}

void checkGridLayout(const QString &text)
{
    const std::vector<TmxGridLayout::Column> columns = TmxGridLayout::FromText(text);
    for (const TmxGridLayout::Column &column : columns)
        require(!column.field.isEmpty());
    require(same(TmxGridLayout::FromText(TmxGridLayout::ToText(columns)), columns));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    checkFieldNames(text);
    checkGridLayout(text);
    return 0;
}
