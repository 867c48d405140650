#include "chart/ChartPalettes.h"

namespace {

// The stored notation, as IQs have always kept it.
constexpr unsigned kDefaultBGR[] = { 0x19754B, 0xA8C0E6, 0xE3F4DB, 0x7E9EAC, 0xEFEDF2, 0x99C2AF,
    0x4D6995, 0xC7E9B7, 0x97B8C5, 0xD0CAD7, 0x006637, 0xE2EAF7, 0xAADF93, 0xDCE7EC, 0xB8AFC3,
    0x00331B, 0x6E96D5, 0xBDE6AB, 0x627B85, 0x9E95AA, 0xE5EFEB, 0x99B5E2, 0x506D43, 0xAEC8D2,
    0x8D8597, 0x33855F, 0x7CA0D9, 0xECF8E7, 0x8CB0BF, 0x58535E, 0xB2D1C3, 0xD3DFF2, 0x70995E,
    0xE8EFF2, 0xB0A6BD, 0x004726, 0x5878AA, 0xD9F1CF, 0x46585F, 0xDFDBE5, 0x7FB29B, 0xF0F4FB,
    0xB4E29F, 0x708D99, 0xC8C1D1, 0x005C31, 0x8BABDD, 0xA1DB87, 0xA3C0CC, 0x6A6471, 0x4C9473,
    0xB6CAEA, 0x618351, 0xBAD0D9, 0xC0B8CA, 0x003D21, 0x6387BF, 0x91C579, 0x546A73, 0xD7D2DE,
    0x66A387, 0x425A80, 0xF5FBF3, 0xD1DFE5, 0x7B7484, 0x00522C, 0xC5D5EE, 0x81AF6C, 0xC5D7DF,
    0xF7F6F8, 0xCCE0D7, 0x374B6A, 0xD0EDC3, 0xF3F7F8, 0xE7E4EB };
static_assert(sizeof kDefaultBGR / sizeof kDefaultBGR[0] == 75);

QRgb fromBGR(unsigned bgr)
{
    return qRgb(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

std::vector<QRgb> rgbList(std::initializer_list<unsigned> rgb)
{
    std::vector<QRgb> colours;
    for (const unsigned value : rgb)
        colours.push_back(qRgb((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF));
    return colours;
}

std::vector<ChartPalette> buildPalettes()
{
    std::vector<ChartPalette> list;
    ChartPalette standard { QStringLiteral("Default"), {} };
    for (const unsigned bgr : kDefaultBGR)
        standard.colours.push_back(fromBGR(bgr));
    list.push_back(std::move(standard));
    // Our own, in RGB. Append new ones at the end: stored IQs refer to these by position.
    list.push_back({ QStringLiteral("Greys"),
        rgbList({ 0x404040, 0x808080, 0xB0B0B0, 0x202020, 0x606060, 0xA0A0A0, 0xD0D0D0 }) });
    list.push_back({ QStringLiteral("Pastels"),
        rgbList({ 0xA6CEE3, 0xB2DF8A, 0xFB9A99, 0xFDBF6F, 0xCAB2D6, 0xFFFF99, 0xB3B3B3, 0x8DD3C7,
            0xBEBADA, 0xFCCDE5 }) });
    list.push_back({ QStringLiteral("Colour-blind safe"),
        rgbList(
            { 0x0072B2, 0xE69F00, 0x009E73, 0xCC79A7, 0x56B4E9, 0xD55E00, 0xF0E442, 0x000000 }) });
    list.push_back({ QStringLiteral("Vivid"),
        rgbList(
            { 0xE41A1C, 0x377EB8, 0x4DAF4A, 0x984EA3, 0xFF7F00, 0xFFD700, 0xA65628, 0xF781BF }) });
    list.push_back({ QStringLiteral("Earth"),
        rgbList({ 0x8C510A, 0xBF812D, 0xDFC27D, 0x80CDC1, 0x35978F, 0x01665E, 0x543005 }) });
    return list;
}

} // namespace

const std::vector<ChartPalette> &ChartPalettes()
{
    static const std::vector<ChartPalette> palettes = buildPalettes();
    return palettes;
}

QRgb PaletteColour(int palette, std::size_t position)
{
    const auto &palettes = ChartPalettes();
    const ChartPalette &chosen
        = palettes[palette > 0 && palette < static_cast<int>(palettes.size()) ? palette : 0];
    return chosen.colours[position % chosen.colours.size()];
}

bool ColourFromBGR(const QString &text, QRgb &colour)
{
    if (text.size() != 6)
        return false;
    bool ok = false;
    const unsigned value = text.toUInt(&ok, 16);
    if (!ok || text.startsWith(QLatin1Char('+')) || text.startsWith(QLatin1Char('-')))
        return false;
    colour = fromBGR(value);
    return true;
}

QString ColourToBGR(QRgb colour)
{
    const unsigned bgr = (unsigned(qBlue(colour)) << 16) | (unsigned(qGreen(colour)) << 8)
        | unsigned(qRed(colour));
    return QStringLiteral("%1").arg(bgr, 6, 16, QLatin1Char('0')).toUpper();
}
