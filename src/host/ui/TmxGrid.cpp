#include "host/ui/TmxGrid.h"

#include "host/core/Cursor.h"
#include "host/core/GridExport.h"
#include "host/core/HostContext.h"
#include "host/core/Messages.h"
#include "host/core/Progress.h"
#include "host/core/RegIni.h"
#include "host/db/dataset/ResultColumns.h"
#include "host/db/dataset/TQuillonDataSet.h"
#include "host/db/engine/NameFold.h"
#include "host/ui/GridWidths.h"
#include "host/ui/ModalDialogs.h"
#include "host/ui/TfrmGridCustomise.h"
#include "host/ui/TmxGridItemDelegate.h"
#include "host/ui/TmxGridLayout.h"
#include "host/ui/TmxGridModel.h"
#include "host/ui/TmxGridSaveDialog.h"
#include "host/ui/TmxIPHoursDecimalHourEditProperties.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {

constexpr int kMinimumDefaultWidth = 40;
// Rows measured for automatic widths when the view cannot yet tell which rows it shows.
constexpr int kUnshownFitHeight = 600;
// How often a long save repaints its progress.
constexpr qint64 kProgressInterval = 50;

} // namespace

TmxGrid::TmxGrid(QWidget *parent)
    : QWidget(parent)
{
    m_model = new TmxGridModel(this);

    pnlFilter = new QWidget(this);
    pnlFilter->setObjectName(QStringLiteral("pnlFilter"));
    auto *filterLabel = new QLabel(tr("Filter:"), pnlFilter);
    edtFilter = new QLineEdit(pnlFilter);
    edtFilter->setObjectName(QStringLiteral("edtFilter"));
    edtFilter->setPlaceholderText(tr("e.g. cName = 'Smith' AND nTotal > 100, then Enter"));
    edtFilter->setClearButtonEnabled(true);
    edtFilter->installEventFilter(this);
    filterLabel->setBuddy(edtFilter);
    lblFilterError = new QLabel(pnlFilter);
    lblFilterError->setObjectName(QStringLiteral("lblFilterError"));
    lblFilterError->setStyleSheet(QStringLiteral("color: #b00000;"));
    lblFilterError->setWordWrap(true);
    lblFilterError->hide();
    lblRowCount = new QLabel(pnlFilter);
    lblRowCount->setObjectName(QStringLiteral("lblRowCount"));
    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(filterLabel);
    filterRow->addWidget(edtFilter, 1);
    filterRow->addWidget(lblRowCount);
    auto *filterLayout = new QVBoxLayout(pnlFilter);
    filterLayout->setContentsMargins(0, 0, 0, 0);
    filterLayout->setSpacing(2);
    filterLayout->addLayout(filterRow);
    filterLayout->addWidget(lblFilterError);

    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("vwGrid"));
    m_view->setModel(m_model);
    m_view->setItemDelegate(new TmxGridItemDelegate(m_view));
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->verticalHeader()->hide();
    // Fixed row heights: the view never asks the model for a row's size.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    QHeaderView *header = m_view->horizontalHeader();
    header->setSectionsMovable(true);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    // No sort at first: the rows keep the order the statement gave them.
    header->setSortIndicator(-1, Qt::AscendingOrder);
    m_view->setSortingEnabled(true);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(pnlFilter);
    layout->addWidget(m_view, 1);
    setFocusProxy(m_view);
    m_view->viewport()->installEventFilter(this);

    connect(m_model, &TmxGridModel::RowsRebuilt, this, &TmxGrid::ModelRowsRebuilt);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &TmxGrid::UpdateRowCount);
    connect(m_model, &TmxGridModel::SortRefused, this, [this] {
        // The header keeps showing the order the rows really have.
        const QSignalBlocker blocker(m_view->horizontalHeader());
        m_view->horizontalHeader()->setSortIndicator(m_model->SortColumn(), m_model->SortOrder());
    });
    connect(m_model, &TmxGridModel::PostFailed, this, &TmxGrid::PostFailed);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        &TmxGrid::ViewCurrentChanged);
    connect(m_view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        emit RecordDoubleClicked(m_model->RecordOfRow(index.row()), index.column());
    });
    connect(header, &QHeaderView::customContextMenuRequested, this, &TmxGrid::ShowHeaderMenu);
    connect(header, &QHeaderView::sectionResized, this, &TmxGrid::SectionResized);
}

TmxGrid::~TmxGrid()
{
    // The children outlive this part of the grid by a moment and still signal while they go.
    disconnect(m_view->selectionModel(), nullptr, this, nullptr);
    disconnect(m_view->horizontalHeader(), nullptr, this, nullptr);
    disconnect(m_view, nullptr, this, nullptr);
    disconnect(m_model, nullptr, this, nullptr);
    if (TQuillonDataSet *dataSet = DataSet())
        disconnect(dataSet, nullptr, this, nullptr);
}

void TmxGrid::SetDataSet(TQuillonDataSet *dataSet)
{
    if (TQuillonDataSet *old = m_model->DataSet())
        disconnect(old, nullptr, this, nullptr);
    m_model->SetDataSet(dataSet);
    if (dataSet)
        connect(dataSet, &TQuillonDataSet::CurrentChanged, this, &TmxGrid::DataSetCurrentChanged);
    edtFilter->setText(FilterText());
    lblFilterError->hide();
}

TQuillonDataSet *TmxGrid::DataSet() const
{
    return m_model->DataSet();
}

void TmxGrid::SetViewName(const QString &name)
{
    m_view->setObjectName(name);
}

int TmxGrid::AddColumn(const QString &fieldName, const QString &caption, bool visible)
{
    const QScopedValueRollback<bool> fitting(m_fitting, true);
    const int column = m_model->AddColumn(fieldName, caption);
    m_columnStates.push_back({});
    int width = DefaultWidth(column);
    if (m_loadAllColumns && m_loadedWidths.contains(NameFold::fold(fieldName))) {
        width = m_loadedWidths.value(NameFold::fold(fieldName));
        m_columnStates.back().stored = true;
    }
    SetColumnWidth(column, width);
    m_view->setColumnHidden(column, !visible);
    // The first column to show gives the current record its cell.
    if (!m_view->currentIndex().isValid() && DataSet() && DataSet()->RecNo() >= 0)
        DataSetCurrentChanged(DataSet()->RecNo());
    return column;
}

void TmxGrid::RemoveAllColumns()
{
    for (int column = 0; column < ColumnCount(); ++column)
        m_view->setItemDelegateForColumn(column, nullptr);
    if (m_model->SortColumn() >= 0)
        m_view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    m_model->RemoveAllColumns();
    m_columnStates.clear();
}

int TmxGrid::ColumnCount() const
{
    return m_model->ColumnCount();
}

int TmxGrid::ColumnByField(const QString &fieldName) const
{
    return m_model->ColumnByField(fieldName);
}

QString TmxGrid::ColumnField(int column) const
{
    return column >= 0 && column < ColumnCount() ? m_model->Column(column).fieldName : QString();
}

QString TmxGrid::ColumnCaption(int column) const
{
    return column >= 0 && column < ColumnCount() ? m_model->Column(column).caption : QString();
}

void TmxGrid::SetColumnCaption(int column, const QString &caption)
{
    m_model->SetCaption(column, caption);
}

bool TmxGrid::ColumnVisible(int column) const
{
    return column >= 0 && column < ColumnCount() && !m_view->isColumnHidden(column);
}

void TmxGrid::SetColumnVisible(int column, bool visible)
{
    if (column < 0 || column >= ColumnCount() || ColumnVisible(column) == visible)
        return;
    {
        const QScopedValueRollback<bool> fitting(m_fitting, true);
        m_view->setColumnHidden(column, !visible);
    }
    if (m_autoWidth)
        FitColumns();
}

int TmxGrid::ColumnWidth(int column) const
{
    if (column < 0 || column >= ColumnCount())
        return 0;
    return ColumnVisible(column) ? m_view->columnWidth(column)
                                 : m_columnStates[std::size_t(column)].width;
}

void TmxGrid::SetColumnWidth(int column, int width)
{
    if (column < 0 || column >= ColumnCount())
        return;
    ColumnState &state = m_columnStates[std::size_t(column)];
    state.width = std::max(width, state.minWidth);
    m_view->setColumnWidth(column, state.width);
}

void TmxGrid::SetColumnMinWidth(int column, int width)
{
    if (column < 0 || column >= ColumnCount())
        return;
    m_columnStates[std::size_t(column)].minWidth = width;
    if (ColumnWidth(column) < width)
        SetColumnWidth(column, width);
}

int TmxGrid::ColumnPosition(int column) const
{
    return m_view->horizontalHeader()->visualIndex(column);
}

void TmxGrid::MoveColumn(int column, int position)
{
    QHeaderView *header = m_view->horizontalHeader();
    const int from = header->visualIndex(column);
    if (from < 0 || position < 0 || position >= ColumnCount() || from == position)
        return;
    header->moveSection(from, position);
}

QList<int> TmxGrid::ColumnsInOrder() const
{
    QList<int> columns;
    const QHeaderView *header = m_view->horizontalHeader();
    for (int position = 0; position < ColumnCount(); ++position)
        columns << header->logicalIndex(position);
    return columns;
}

void TmxGrid::LoadAllColumns(bool value)
{
    m_loadAllColumns = value;
    m_loadedWidths.clear();
    if (!value)
        return;
    for (const TmxGridLayout::Column &stored : StoredLayout()) {
        if (stored.width > 0)
            m_loadedWidths.insert(NameFold::fold(stored.field), stored.width);
    }
}

void TmxGrid::SetAutoWidth(bool value)
{
    m_autoWidth = value;
    for (ColumnState &state : m_columnStates)
        state.dragged = false;
    if (value)
        FitColumns();
}

void TmxGrid::FitColumnsToContent(int cap)
{
    const QScopedValueRollback<bool> fitting(m_fitting, true);
    for (int column = 0; column < ColumnCount(); ++column) {
        if (ColumnVisible(column) && !m_columnStates[std::size_t(column)].stored)
            SetColumnWidth(column, std::min(cap, ContentWidth(column)));
    }
}

void TmxGrid::SetEditable(bool editable)
{
    m_model->SetEditable(editable);
    m_view->setEditTriggers(editable
            ? QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
            : QAbstractItemView::NoEditTriggers);
}

void TmxGrid::SetColumnReadOnly(int column, bool readOnly)
{
    m_model->SetColumnReadOnly(column, readOnly);
}

void TmxGrid::SetColumnPickList(int column, const QStringList &items)
{
    m_model->SetColumnPickList(column, items);
}

void TmxGrid::SetHoursEditor(int column)
{
    if (column < 0 || column >= ColumnCount())
        return;
    if (!m_hoursEditor)
        m_hoursEditor = new TmxIPHoursDecimalHourEditProperties(this);
    m_view->setItemDelegateForColumn(column, m_hoursEditor);
}

void TmxGrid::SetSortColumn(int column, Qt::SortOrder order)
{
    m_view->sortByColumn(column < ColumnCount() ? column : -1, order);
}

int TmxGrid::SortColumn() const
{
    return m_model->SortColumn();
}

void TmxGrid::SetFilterRowVisible(bool visible)
{
    pnlFilter->setVisible(visible);
}

bool TmxGrid::SetFilterText(const QString &text)
{
    TQuillonDataSet *dataSet = DataSet();
    if (!dataSet)
        return false;
    if (!dataSet->SetFilter(text.trimmed())) {
        lblFilterError->setText(dataSet->LastErrorText());
        lblFilterError->show();
        return false;
    }
    lblFilterError->clear();
    lblFilterError->hide();
    if (edtFilter->text().trimmed() != dataSet->Filter())
        edtFilter->setText(dataSet->Filter());
    if (m_model->rowCount() > 0) {
        const QModelIndex current = m_view->currentIndex();
        m_view->setCurrentIndex(m_model->index(0, current.isValid() ? current.column() : 0));
        m_view->scrollToTop();
    }
    UpdateRowCount();
    return true;
}

void TmxGrid::SetRowCountSuffix(const QString &suffix)
{
    m_rowCountSuffix = suffix;
    UpdateRowCount();
}

QString TmxGrid::RowCountText() const
{
    return lblRowCount->text();
}

void TmxGrid::UpdateRowCount()
{
    const TQuillonDataSet *dataSet = DataSet();
    if (!dataSet || !dataSet->Active()) {
        lblRowCount->clear();
        return;
    }
    const int shown = dataSet->RecordCount();
    const ResultColumns *store = dataSet->ColumnStore();
    const qint64 total = store ? qint64(store->rowCount()) : shown;
    const QLocale locale;
    QString text = total == 1 ? tr("1 row") : tr("%1 rows").arg(locale.toString(total));
    if (!dataSet->Filter().isEmpty())
        text = tr("%1 of %2").arg(locale.toString(shown), text);
    lblRowCount->setText(text + m_rowCountSuffix);
}

QString TmxGrid::FilterText() const
{
    const TQuillonDataSet *dataSet = DataSet();
    return dataSet ? dataSet->Filter() : QString();
}

QString TmxGrid::FilterError() const
{
    return lblFilterError->isHidden() ? QString() : lblFilterError->text();
}

bool TmxGrid::HasFocusedRecord() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() && m_model->RecordOfRow(current.row()) >= 0;
}

int TmxGrid::FocusedRecord() const
{
    const QModelIndex current = m_view->currentIndex();
    return current.isValid() ? m_model->RecordOfRow(current.row()) : -1;
}

void TmxGrid::FocusRecord(int record)
{
    TQuillonDataSet *dataSet = DataSet();
    if (!dataSet || record < 0 || record >= dataSet->RecordCount())
        return;
    dataSet->MoveTo(record);
    DataSetCurrentChanged(record);
}

bool TmxGrid::SaveGridToFile(
    const QString &title, bool captions, bool visibleOnly, bool selectedOnly)
{
    TQuillonDataSet *dataSet = DataSet();
    if (!dataSet || !dataSet->Active() || !dataSet->WaitForAllRows())
        return false;
    std::vector<GridExportColumn> columns;
    for (const int column : ColumnsInOrder()) {
        if (!visibleOnly || ColumnVisible(column))
            columns.push_back({ ColumnField(column), ColumnCaption(column) });
    }
    // A file of empty lines would tell nothing.
    if (columns.empty()) {
        InfoMessage(tr("No column is shown, so there is nothing to save. Show a column first "
                       "(right-click a column header)."));
        return false;
    }
    const std::optional<TmxGridSaveDialog::Choice> choice = TmxGridSaveDialog::Ask(title);
    if (!choice)
        return false;

    GridExportOptions options;
    options.title = title;
    options.captions = captions;
    options.protectedFiles = HostDatabaseFiles();
    if (selectedOnly) {
        QModelIndexList selected = m_view->selectionModel()->selectedRows();
        std::sort(selected.begin(), selected.end(),
            [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
        std::vector<int> rows;
        for (const QModelIndex &index : std::as_const(selected))
            rows.push_back(dataSet->RowOfRecord(m_model->RecordOfRow(index.row())));
        options.rows = std::move(rows);
    } else {
        options.rows = m_model->DataRowsInOrder();
    }

    // Saving a million rows takes a while: the progress window shows how far it is and its
    // Cancel stops it, leaving no file (the rows go to a temporary file until the end).
    ShowProgressDlg(tr("Saving %1...").arg(QDir::toNativeSeparators(choice->path)), title,
        int(std::min<std::int64_t>(options.rows->size(), std::numeric_limits<int>::max())), false,
        false);
    AllowProgressCancel();
    QElapsedTimer sinceShown;
    sinceShown.start();
    options.progress = [&sinceShown](std::int64_t written, std::int64_t) {
        if (written == 0 || sinceShown.elapsed() >= kProgressInterval) {
            IncProgressDlg(0, int(std::min<std::int64_t>(written, std::numeric_limits<int>::max())),
                QString());
            PaintProgressDlg();
            sinceShown.restart();
        }
        return !ProgressCancelled();
    };
    PushCursor();
    QString error;
    GridExportReport report;
    const bool written = GridExport::Write(
        *dataSet, columns, choice->format, choice->path, options, error, &report);
    PopCursor();
    HideProgressDlg();
    if (report.cancelled)
        InfoMessage(error);
    else if (!written)
        ErrMessage(error);
    else if (!report.Warning().isEmpty())
        InfoMessage(report.Warning()); // written, but not as it is in the grid
    return written;
}

void TmxGrid::ShowCustomisation()
{
    TfrmGridCustomise dialog(window());
    std::vector<TfrmGridCustomise::Item> items;
    for (const int column : ColumnsInOrder())
        items.push_back({ column, ColumnCaption(column), ColumnVisible(column) });
    dialog.SetColumns(items);
    QPointer<TmxGrid> self(this);
    emit CustomizationChanged(true);
    const int result = ExecModal(dialog);
    if (!self)
        return;
    if (result == QDialog::Accepted) {
        const std::vector<TfrmGridCustomise::Item> chosen = dialog.Columns();
        for (int position = 0; position < int(chosen.size()); ++position) {
            MoveColumn(chosen[std::size_t(position)].column, position);
            SetColumnVisible(
                chosen[std::size_t(position)].column, chosen[std::size_t(position)].visible);
        }
    }
    emit CustomizationChanged(false);
}

void TmxGrid::SetPopupMenu(QMenu *menu)
{
    m_popupMenu = menu;
    m_view->setContextMenuPolicy(menu ? Qt::CustomContextMenu : Qt::DefaultContextMenu);
    disconnect(m_view, &QWidget::customContextMenuRequested, this, &TmxGrid::ShowPopupMenu);
    if (menu)
        connect(m_view, &QWidget::customContextMenuRequested, this, &TmxGrid::ShowPopupMenu);
}

void TmxGrid::SetRegistrySection(const QString &section, const QString &name)
{
    m_section = section;
    m_valueName = name;
}

QString TmxGrid::RegistryValueName() const
{
    if (!m_valueName.isEmpty())
        return m_valueName;
    return objectName().isEmpty() ? QStringLiteral("Grid") : objectName();
}

bool TmxGrid::SaveLayout() const
{
    if (!m_saveSettings || m_section.isEmpty())
        return false;
    std::vector<TmxGridLayout::Column> columns;
    for (const int column : ColumnsInOrder())
        columns.push_back({ ColumnField(column), ColumnWidth(column), ColumnVisible(column) });
    RegIni::WriteString(m_section, RegistryValueName(), TmxGridLayout::ToText(columns));
    return true;
}

std::vector<TmxGridLayout::Column> TmxGrid::StoredLayout() const
{
    if (m_section.isEmpty())
        return {};
    return TmxGridLayout::FromText(RegIni::ReadString(m_section, RegistryValueName(), QString()));
}

bool TmxGrid::RestoreLayout()
{
    int position = 0;
    for (const TmxGridLayout::Column &stored : StoredLayout()) {
        const int column = ColumnByField(stored.field);
        if (column < 0)
            continue;
        MoveColumn(column, position++);
        if (stored.width > 0)
            SetColumnWidth(column, stored.width);
        SetColumnVisible(column, stored.visible);
    }
    return position > 0;
}

void TmxGrid::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_autoWidth)
        FitColumns();
}

bool TmxGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view->viewport() && event->type() == QEvent::Resize && m_autoWidth)
        ShareViewWidth();
    // Enter applies the filter and goes no further: in a dialog it would also press OK.
    if (watched == edtFilter && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ApplyFilterRow();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TmxGrid::ApplyFilterRow()
{
    SetFilterText(edtFilter->text());
}

void TmxGrid::ModelRowsRebuilt()
{
    UpdateRowCount();
    if (TQuillonDataSet *dataSet = DataSet(); dataSet && dataSet->RecNo() >= 0)
        DataSetCurrentChanged(dataSet->RecNo());
    if (m_autoWidth)
        FitColumns();
}

void TmxGrid::ViewCurrentChanged()
{
    if (m_syncingFocus)
        return;
    const int record = FocusedRecord();
    TQuillonDataSet *dataSet = DataSet();
    if (!dataSet || record < 0)
        return;
    m_syncingFocus = true;
    if (dataSet->RecNo() != record)
        dataSet->MoveTo(record);
    m_syncingFocus = false;
    emit FocusedRecordChanged(record);
}

void TmxGrid::DataSetCurrentChanged(int record)
{
    TQuillonDataSet *dataSet = DataSet();
    // While display updates are off the view still shows the old rows: it catches up on reset.
    // A cell being posted moves the dataset to its row as the view leaves it for another cell:
    // the view stays where it goes.
    if (m_syncingFocus || !dataSet || dataSet->ControlsDisabled() || m_model->Posting())
        return;
    const int row = m_model->RowOfRecord(record);
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex current = m_view->currentIndex();
    const int column = current.isValid() && ColumnVisible(current.column()) ? current.column()
                                                                            : FirstVisibleColumn();
    if (column < 0)
        return;
    const QModelIndex target = m_model->index(row, column);
    if (target == current)
        return;
    m_syncingFocus = true;
    m_view->selectionModel()->setCurrentIndex(
        target, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_syncingFocus = false;
    emit FocusedRecordChanged(record);
}

void TmxGrid::ShowHeaderMenu(const QPoint &position)
{
    auto *menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("mnuGridColumns"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    for (const int column : ColumnsInOrder()) {
        QAction *action = menu->addAction(ColumnCaption(column));
        action->setCheckable(true);
        action->setChecked(ColumnVisible(column));
        connect(action, &QAction::toggled, this,
            [this, column](bool checked) { SetColumnVisible(column, checked); });
    }
    menu->addSeparator();
    connect(menu->addAction(tr("C&ustomise Grid Columns...")), &QAction::triggered, this,
        &TmxGrid::ShowCustomisation);
    menu->popup(m_view->horizontalHeader()->viewport()->mapToGlobal(position));
}

void TmxGrid::ShowPopupMenu(const QPoint &position)
{
    if (m_popupMenu)
        m_popupMenu->popup(m_view->viewport()->mapToGlobal(position));
}

void TmxGrid::SectionResized(int column, int, int newSize)
{
    if (column < 0 || column >= int(m_columnStates.size()) || newSize <= 0)
        return; // 0: the column was hidden, and keeps the width it had
    ColumnState &state = m_columnStates[std::size_t(column)];
    if (newSize < state.minWidth) {
        m_view->setColumnWidth(column, state.minWidth);
        return;
    }
    state.width = newSize;
    if (m_autoWidth && !m_fitting) {
        // The person's width stays; the other columns share what it leaves.
        state.dragged = true;
        state.natural = newSize;
        ShareViewWidth();
    }
}

void TmxGrid::PostFailed(const QString &text)
{
    ErrMessage(text);
}

void TmxGrid::FitColumns()
{
    for (int column = 0; column < ColumnCount(); ++column) {
        ColumnState &state = m_columnStates[std::size_t(column)];
        if (ColumnVisible(column) && !state.dragged)
            state.natural = ContentWidth(column);
    }
    ShareViewWidth();
}

void TmxGrid::ShareViewWidth()
{
    std::vector<int> columns;
    std::vector<int> natural;
    std::vector<bool> fixed;
    for (const int column : ColumnsInOrder()) {
        if (!ColumnVisible(column))
            continue;
        const ColumnState &state = m_columnStates[std::size_t(column)];
        columns.push_back(column);
        natural.push_back(std::max(state.natural, state.minWidth));
        fixed.push_back(state.dragged);
    }
    // Before the view is on screen its width means nothing: the natural widths hold till then.
    const int room = m_view->isVisible() ? m_view->viewport()->width() : 0;
    const std::vector<int> widths
        = room > 0 ? GridWidths::Share(natural, fixed, room, kMinimumDefaultWidth) : natural;
    const QScopedValueRollback<bool> fitting(m_fitting, true);
    for (std::size_t i = 0; i < columns.size(); ++i)
        SetColumnWidth(columns[i], widths[i]);
}

// What a column's caption and the rows on screen need. Only those rows are measured: a
// million-row result costs the same as ten rows.
int TmxGrid::ContentWidth(int column) const
{
    const int rows = m_model->rowCount();
    const int rowHeight = std::max(1, m_view->verticalHeader()->defaultSectionSize());
    const int first = rows > 0 ? std::max(0, m_view->rowAt(0)) : 0;
    int last = m_view->isVisible() ? m_view->rowAt(m_view->viewport()->height() - 1) : -1;
    if (last < 0) {
        const int height = std::max(m_view->viewport()->height(), kUnshownFitHeight);
        last = std::min(rows - 1, first + height / rowHeight);
    }
    int width = m_view->horizontalHeader()->sectionSizeHint(column);
    for (int row = first; row <= last; ++row)
        width = std::max(width, m_view->sizeHintForIndex(m_model->index(row, column)).width());
    return width + 4;
}

int TmxGrid::FirstVisibleColumn() const
{
    for (const int column : ColumnsInOrder()) {
        if (ColumnVisible(column))
            return column;
    }
    return -1;
}

int TmxGrid::DefaultWidth(int column) const
{
    return std::max(kMinimumDefaultWidth, m_view->horizontalHeader()->sectionSizeHint(column));
}
