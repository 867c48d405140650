#pragma once

#include "host/ui/TmxGridLayout.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QMenu;
class QTableView;
class TQuillonDataSet;
class TmxGridModel;
class TmxIPHoursDecimalHourEditProperties;

// The host grid: a table view over a dataset with columns bound to fields by name, a filter
// row whose text is the dataset's record filter, sorting by header click, movable and hideable
// columns, saving to a file, a column customisation window and a layout kept in the settings.
// Columns are addressed by the index AddColumn returned, whatever their place on screen.
class TmxGrid : public QWidget
{
    Q_OBJECT
public:
    explicit TmxGrid(QWidget *parent = nullptr);
    ~TmxGrid() override;

    void SetDataSet(TQuillonDataSet *dataSet);
    TQuillonDataSet *DataSet() const;
    QTableView *View() const { return m_view; }
    TmxGridModel *Model() const { return m_model; }
    void SetViewName(const QString &name); // the table view's object name ("vwQueryView")

    // Columns
    int AddColumn(const QString &fieldName, const QString &caption, bool visible = true);
    void RemoveAllColumns();
    int ColumnCount() const;
    int ColumnByField(const QString &fieldName) const; // case-insensitive; -1 when none
    QString ColumnField(int column) const;
    QString ColumnCaption(int column) const;
    void SetColumnCaption(int column, const QString &caption);
    bool ColumnVisible(int column) const;
    void SetColumnVisible(int column, bool visible);
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);
    void SetColumnMinWidth(int column, int width);
    int ColumnPosition(int column) const; // place on screen, 0 = leftmost (hidden ones count)
    void MoveColumn(int column, int position);
    QList<int> ColumnsInOrder() const; // every column, leftmost first
    // With true, columns added afterwards take the width stored for their field (RestoreLayout's
    // section) instead of the width their caption needs.
    void LoadAllColumns(bool value);
    // The shown columns share the view's width, each in proportion to what its caption and the
    // rows on screen need, and follow the view as it is resized; a column the person drags keeps
    // its width and the others share the rest. Refitted whenever the rows change.
    void SetAutoWidth(bool value);
    bool AutoWidth() const { return m_autoWidth; }
    // Without automatic width: each shown column not restored from a stored layout gets the
    // width its caption and the rows on screen need, at most `cap`. A value cut by its column's
    // width shows whole in the cell's tooltip.
    void FitColumnsToContent(int cap);

    // Editing: cells are editable when the grid is and the column is not read-only; a changed
    // cell is posted at once and a refused post is shown to the person.
    void SetEditable(bool editable);
    void SetColumnReadOnly(int column, bool readOnly);
    void SetColumnPickList(int column, const QStringList &items);
    void SetHoursEditor(int column);

    // Sorting by one column; -1 shows the records in the dataset's order.
    void SetSortColumn(int column, Qt::SortOrder order = Qt::AscendingOrder);
    int SortColumn() const;

    // Filter row
    void SetFilterRowVisible(bool visible);
    // Sets the dataset's record filter; a text that does not parse is refused, its error shown
    // under the filter row, and the old filter kept.
    // After a filter, the first row is focused and in view.
    bool SetFilterText(const QString &text);
    // Follows the row count ("4,629 rows", "43 of 4,629 rows"), e.g. how long the run took.
    void SetRowCountSuffix(const QString &suffix);
    QString RowCountText() const;
    QString FilterText() const; // the filter in force, empty when not filtered
    QString FilterError() const;

    // Focused record, kept in step with the dataset's current record.
    bool HasFocusedRecord() const;
    int FocusedRecord() const; // -1 when none
    void FocusRecord(int record);

    // Asks for a file (CSV, Excel, HTML) and writes the rows shown, in their order.
    // captions: a first row of captions; visibleOnly: hidden columns are left out;
    // selectedOnly: only the selected rows. False when cancelled or the file was not written.
    bool SaveGridToFile(const QString &title, bool captions, bool visibleOnly, bool selectedOnly);
    // The customisation window; CustomizationChanged(true) before, (false) after it closes.
    void ShowCustomisation();
    void SetPopupMenu(QMenu *menu); // shown on a right click in the rows

    // Layout (order, visibility, widths) in a settings section, under the value `name`.
    void SetRegistrySection(const QString &section, const QString &name = {});
    void SetSaveSettings(bool value) { m_saveSettings = value; }
    bool SaveSettings() const { return m_saveSettings; }
    bool SaveLayout() const; // only when SaveSettings and a section are set
    bool RestoreLayout();

signals:
    void RecordDoubleClicked(int record, int column);
    void FocusedRecordChanged(int record);
    void CustomizationChanged(bool opened);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void ApplyFilterRow();
    void ModelRowsRebuilt();
    void UpdateRowCount();
    void ViewCurrentChanged();
    void DataSetCurrentChanged(int record);
    void ShowHeaderMenu(const QPoint &position);
    void ShowPopupMenu(const QPoint &position);
    void SectionResized(int column, int oldSize, int newSize);
    void PostFailed(const QString &text);
    void FitColumns();
    void ShareViewWidth();
    int ContentWidth(int column) const;
    int FirstVisibleColumn() const;
    int DefaultWidth(int column) const;
    std::vector<TmxGridLayout::Column> StoredLayout() const;
    QString RegistryValueName() const;

    TmxGridModel *m_model;
    QTableView *m_view;
    QWidget *pnlFilter;
    QLineEdit *edtFilter;
    QLabel *lblFilterError;
    QLabel *lblRowCount;
    QString m_rowCountSuffix;
    TmxIPHoursDecimalHourEditProperties *m_hoursEditor = nullptr;
    QPointer<QMenu> m_popupMenu;
    struct ColumnState
    {
        int width = 0; // kept here too: the header reports 0 for a hidden column
        int minWidth = 0;
        int natural = 0; // what the caption and the rows on screen need (automatic width)
        bool stored = false; // the width came from a stored layout
        bool dragged = false; // the person sized it while the width was automatic
    };
    std::vector<ColumnState> m_columnStates;
    QHash<QString, int> m_loadedWidths; // field (lower case) -> width, while LoadAllColumns
    bool m_loadAllColumns = false;
    bool m_autoWidth = false;
    bool m_saveSettings = true;
    bool m_syncingFocus = false;
    bool m_fitting = false; // widths set by the grid itself, not by the person
    QString m_section;
    QString m_valueName;
};
