#pragma once

#include <QRgb>
#include <QString>

#include <vector>

// The palettes by position. IQs store the position (iPalette), so palettes are only ever
// appended: 0 is "Default", then our named ones.
struct ChartPalette
{
    QString name;
    std::vector<QRgb> colours;
};

const std::vector<ChartPalette> &ChartPalettes();
// A position outside the list draws with "Default".
QRgb PaletteColour(int palette, std::size_t position);

// A colour in the stored BBGGRR notation (blue in the high byte): "19754B" is red 4B, green 75,
// blue 19. False for anything but six hexadecimal digits.
bool ColourFromBGR(const QString &text, QRgb &colour);
QString ColourToBGR(QRgb colour);
