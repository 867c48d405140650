#pragma once

#include "host/db/dataset/TQuillonDataSet.h"
#include "host/ui/TmxGridColumn.h"

#include <QAbstractTableModel>
#include <QLocale>
#include <QPointer>

#include <vector>

// The grid's table over a dataset: one row per record (rows passing the record filter), one
// column per grid column. Cells are converted when the view asks for them and never stored, so
// rows off screen are never read. Sorting keeps an index of records; the dataset is not touched.
class TmxGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // The value as the dataset holds it (numbers as numbers), for delegates and exports.
    static constexpr int RawValueRole = Qt::UserRole + 1;

    explicit TmxGridModel(QObject *parent = nullptr);
    ~TmxGridModel() override;

    void SetDataSet(TQuillonDataSet *dataSet);
    TQuillonDataSet *DataSet() const { return m_dataSet; }

    int AddColumn(const QString &fieldName, const QString &caption);
    void RemoveAllColumns();
    int ColumnCount() const { return int(m_columns.size()); }
    const TmxGridColumn &Column(int column) const { return m_columns[std::size_t(column)]; }
    int ColumnByField(const QString &fieldName) const; // case-insensitive; -1 when none
    void SetCaption(int column, const QString &caption);
    void SetColumnReadOnly(int column, bool readOnly);
    void SetColumnPickList(int column, const QStringList &items);
    void SetEditable(bool editable) { m_editable = editable; }
    bool Editable() const { return m_editable; }
    // True while setData posts a cell (the dataset then moves to the cell's record).
    bool Posting() const { return m_posting; }

    // Model row <-> dataset record, through the sort index when sorted.
    int RecordOfRow(int modelRow) const;
    int RowOfRecord(int record) const;
    // Dataset rows (unfiltered positions) in the order shown.
    std::vector<int> DataRowsInOrder() const;

    int SortColumn() const { return m_sortColumn; }
    Qt::SortOrder SortOrder() const { return m_sortOrder; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    // An edit the dataset refused; the text says why. Nothing was written.
    void PostFailed(const QString &text);
    // The rows were rebuilt (opened, filtered, refreshed, sorted).
    void RowsRebuilt();
    // A sort was asked while rows still arrived and the wait for the rest was stopped.
    void SortRefused();

private:
    void DataSetReset();
    void DataSetRowChanged(int record);
    void DataSetRowsMoved();
    void DataSetRowsArrived(int first, int last);
    void DataSetRowsSettled();
    void ResolveFields();
    void RebuildSortIndex();
    void RebuildOrder();
    int Decimals(const TmxGridColumn &column) const;
    QString DisplayText(int row, const TmxGridColumn &column) const;
    bool ConvertEdit(const TmxGridColumn &column, const QVariant &value, QVariant &converted,
        QString &error) const;

    QPointer<TQuillonDataSet> m_dataSet;
    std::vector<TmxGridColumn> m_columns;
    bool m_editable = false;
    bool m_posting = false;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
    // Every row of the result in sort order, kept while the values stay (DataVersion): a filter
    // set or cleared only picks the records from it, in one pass.
    std::vector<int> m_sortedRows;
    quint64 m_sortedVersion = 0;
    int m_sortedField = -1;
    Qt::SortOrder m_sortedOrder = Qt::AscendingOrder;
    std::vector<int> m_order; // records in display order; empty when not sorted
    // Decimals of each real field shown, per DataVersion: read once, not per cell painted.
    struct FieldDecimals
    {
        quint64 version = 0;
        int decimals = -1;
    };
    mutable std::vector<FieldDecimals> m_decimals;
    QLocale m_locale;
};
