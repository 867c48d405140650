#pragma once

#include "host/ui/TfrmQuillonDlg.h"

#include <vector>

class QTableWidget;

// "System Settings": the system values with their descriptions; values are edited in the grid
// and written together, in one transaction, when OK is pressed. The IQ values are listed even
// before they have been stored.
class TfrmSystemSettings final : public TfrmQuillonDlg
{
    Q_OBJECT
public:
    explicit TfrmSystemSettings(QWidget *parent = nullptr);
    // False (with a message) when the values cannot be read.
    bool LoadValues();

protected:
    bool CanClose() override;

private:
    struct Row
    {
        QString name;
        QString value;
        QString description;
        bool stored;
    };
    QString ValidateInput(); // first error; selects its cell
    bool SaveValues();

    QTableWidget *grdValues;
    std::vector<Row> FRows;
};

// Shows the window modally; true when values were saved.
bool DoSystemSettings();
