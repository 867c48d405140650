#pragma once

#include <QString>
#include <QStringList>

// A grid column bound to a dataset field by name. How it is shown (visibility, width, place)
// belongs to the view's header, not here.
struct TmxGridColumn
{
    QString fieldName;
    QString caption;
    int field = -1; // the field's index in the dataset; -1 while the dataset lacks it
    bool readOnly = false;
    QStringList pickList; // not empty: edited with a drop-down of these texts
};
