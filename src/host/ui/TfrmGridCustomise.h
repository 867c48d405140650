#pragma once

#include "host/ui/TfrmQuillonDlgBase.h"

#include <QString>

#include <vector>

class QListWidget;
class QPushButton;

// The grid's column customisation window: every column with a tick for "shown", moved up and
// down to set the order. The grid applies the result only when OK is pressed.
class TfrmGridCustomise : public TfrmQuillonDlgBase
{
    Q_OBJECT
public:
    struct Item
    {
        int column; // the grid's column index
        QString caption;
        bool visible;
    };

    explicit TfrmGridCustomise(QWidget *parent = nullptr);

    void SetColumns(const std::vector<Item> &items); // in the grid's current order
    std::vector<Item> Columns() const; // in the order chosen

private:
    void btnUpClick();
    void btnDownClick();
    void MoveCurrent(int step);
    void EnableButtons();

    QListWidget *lstColumns;
    QPushButton *btnUp;
    QPushButton *btnDown;
};
