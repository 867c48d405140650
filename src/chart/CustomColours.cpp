#include "chart/CustomColours.h"

QStringList &CustomColourList()
{
    static QStringList list;
    return list;
}

void LoadCustomColours(const QString &stored)
{
    static const QStringList defaults { "ColorA=006637", "ColorB=4C9473", "ColorC=99C2AF",
        "ColorD=6E96D5", "ColorE=99B5E2", "ColorF=C5D5EE", "ColorG=4D6995", "ColorH=A1DB87",
        "ColorI=BDE6AB", "ColorJ=D9F1CF", "ColorK=8CB0BF", "ColorL=AEC8D2", "ColorM=D1DFE5",
        "ColorN=B0A6BD", "ColorO=C8C1D1", "ColorP=DFDBE5" };
    CustomColourList() << (stored.isEmpty() ? defaults : stored.split(QLatin1Char(',')));
}

QString StoredCustomColours()
{
    return CustomColourList().join(QLatin1Char(','));
}
