#pragma once

#include "host/ui/TfrmQuillon.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

// The "Message Log Viewer": the newest rows of _btblLog first, type and severity named, narrowed
// by a search text that must occur (any letter case) in one of the row's cells as shown. Escape
// closes it.
class TfrmMessageLogViewer final : public TfrmQuillon
{
    Q_OBJECT
public:
    static constexpr int kMaxRows = 10000;

    explicit TfrmMessageLogViewer(QWidget *parent = nullptr);
    void LoadLog();
    int VisibleRowCount() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void edtSearchChanged();

    QLineEdit *edtSearch;
    QPushButton *btnRefresh;
    QTableWidget *grdLog;
    QLabel *lblNoEntries;
};

// Opens the viewer as a window of its own (it frees itself when closed).
TfrmMessageLogViewer *DoMessageLogViewer();
