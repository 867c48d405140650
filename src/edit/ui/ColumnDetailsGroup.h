#pragma once

#include <QGroupBox>

#include <vector>

class QPushButton;
class TmxGrid;
class TQuillonTempTable;
struct EditorColumn;

// The editor's Column Details: the statement's result columns with their Show flag and Order,
// and Select All / DeSelect All. It edits the editor's own column list; the grid's table
// (tmptblColumn) is its mirror, so the order rule has one implementation (EditorColumns).
class ColumnDetailsGroup final : public QGroupBox
{
    Q_OBJECT
public:
    ColumnDetailsGroup(QWidget *parent, std::vector<EditorColumn> &columns);

    // The list was rebuilt (a statement opened or changed): show it again, first row current.
    void Reload();
    void SetButtonsEnabled(bool enabled, const QString &reason);
    TmxGrid *Grid() const { return grdColumn; }

private:
    void SetShowStatus(bool show);
    void tmptblColumnRowChanged(int record);
    void WriteOrders(); // the list's orders into the table, the rule kept out
    void MoveOn();
    bool eventFilter(QObject *watched, QEvent *event) override;

    std::vector<EditorColumn> &FColumns;
    TQuillonTempTable *tmptblColumn;
    TmxGrid *grdColumn;
    QPushButton *btnSelect;
    QPushButton *btnDeSelect;
    int vwColumncColumnName;
    int vwColumnbShow;
    int vwColumniOrder;
    bool FRefresh = false; // the program, not the person, is changing rows
};
