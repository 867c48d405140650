#pragma once

#include "host/ui/TfrmQuillon.h"

class QLineEdit;
class QPushButton;
class QTableWidget;

// The "Message Log Viewer": the newest rows of _btblLog first, narrowed by a search text that
// must occur (any letter case) in the text or an extra text.
class TfrmMessageLogViewer final : public TfrmQuillon
{
    Q_OBJECT
public:
    static constexpr int kMaxRows = 10000;

    explicit TfrmMessageLogViewer(QWidget *parent = nullptr);
    void LoadLog();
    int VisibleRowCount() const;

private:
    void edtSearchChanged();

    QLineEdit *edtSearch;
    QPushButton *btnRefresh;
    QTableWidget *grdLog;
};

// Opens the viewer as a window of its own (it frees itself when closed).
TfrmMessageLogViewer *DoMessageLogViewer();
