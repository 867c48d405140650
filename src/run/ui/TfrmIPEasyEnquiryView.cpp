#include "run/ui/TfrmIPEasyEnquiryView.h"

#include "host/core/Cursor.h"
#include "host/core/Globals.h"
#include "host/core/HostContext.h"
#include "host/core/Log.h"
#include "host/core/Messages.h"
#include "host/core/Progress.h"
#include "host/core/ProgressWatch.h"
#include "host/core/RegIni.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/Connection.h"
#include "host/ui/TmxGrid.h"
#include "run/ColumnLayout.h"
#include "run/EnquiryExecution.h"
#include "run/EnquiryWindows.h"
#include "run/PrepareStatement.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScopeGuard>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QString kCaption = QStringLiteral("IQ View");
const QString kDefaultOpts = QStringLiteral("DefaultOpts");
const QString kFieldNames = QStringLiteral("Field Names");
const QString kBarLayout = QStringLiteral("bmgMaintenance");
const QString kBarSeparator = QStringLiteral("|");
constexpr int kMaxNewColumnWidth = 100;
constexpr int kDevLogType = 1;
// The rows the window waits for before it shows itself: more than a screen, read in a few ms.
constexpr std::size_t kFirstScreenRows = 4096;
// How often the rows that arrived join the grid: quicker than a person notices.
constexpr int kLoadTickMs = 20;
// How long a wait for rows sleeps before the progress window is painted again.
constexpr std::chrono::milliseconds kWaitSlice(50);
}

TfrmIPEasyEnquiryView::TfrmIPEasyEnquiryView(QWidget *parent)
    : TfrmQuillon(parent)
{
    FormCreate();
}

TfrmIPEasyEnquiryView::~TfrmIPEasyEnquiryView() = default;

void TfrmIPEasyEnquiryView::FormCreate()
{
    setObjectName(QStringLiteral("frmIPEasyEnquiryView"));
    SetRegistryName(QStringLiteral("frmIPEasyEnquiryView"));
    setWindowTitle(kCaption);
    resize(712, 630);

    qryEasyEnquiry = new TqryIPEasyEnquiry(this);
    qryEasyEnquiry->setObjectName(QStringLiteral("qryEasyEnquiry"));
    qryView = new TQuillonADOQuery(this);
    qryView->setObjectName(QStringLiteral("qryView"));

    mniGridSave = new QAction(
        style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Sa&ve Grid..."), this);
    mniGridSave->setObjectName(QStringLiteral("mniGridSave"));
    mniGridSave->setToolTip(QStringLiteral("Save Grid"));
    mniGridSave->setProperty("category", QStringLiteral("Save"));
    mniGridChart = new QAction(QStringLiteral("&Chart..."), this);
    mniGridChart->setObjectName(QStringLiteral("mniGridChart"));
    mniGridChart->setToolTip(QStringLiteral("Chart"));
    mniGridChart->setProperty("category", QStringLiteral("Grid"));
    mniGridChart->setEnabled(false);
    mniGridCustColumns = new QAction(QStringLiteral("C&ustomise Grid Columns..."), this);
    mniGridCustColumns->setObjectName(QStringLiteral("mniGridCustColumns"));
    mniGridCustColumns->setToolTip(QStringLiteral("Customise Grid Columns"));
    mniGridCustColumns->setProperty("category", QStringLiteral("Grid"));
    mniFormReset = new QAction(QStringLiteral("&Reset Form Defaults"), this);
    mniFormReset->setObjectName(QStringLiteral("mniFormReset"));
    mniFormReset->setToolTip(QStringLiteral("Reset Form Defaults"));
    mniFormReset->setProperty("category", QStringLiteral("Form"));
    mniFormReset->setCheckable(true);

    bmgMaintenance = new QToolBar(QStringLiteral("Maintenance"), this);
    bmgMaintenance->setObjectName(QStringLiteral("bmgMaintenance"));
    bmgMaintenance->setMovable(false);
    bmgMaintenance->setFloatable(false);
    bmgMaintenance->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    SetDefaultBarItems();

    popMaintenance = new QMenu(this);
    popMaintenance->setObjectName(QStringLiteral("popMaintenance"));
    popMaintenance->addAction(mniGridSave);
    popMaintenance->addAction(mniGridChart);
    popMaintenance->addSeparator();
    popMaintenance->addAction(mniGridCustColumns);
    popMaintenance->addSeparator();
    popMaintenance->addAction(mniFormReset);

    grdQueryView = new TmxGrid(this);
    grdQueryView->setObjectName(QStringLiteral("grdQueryView"));
    grdQueryView->SetViewName(QStringLiteral("vwQueryView"));
    grdQueryView->SetDataSet(qryView);
    grdQueryView->SetPopupMenu(popMaintenance);

    pnlButtons = new QWidget(this);
    pnlButtons->setObjectName(QStringLiteral("pnlButtons"));
    chkDefault = new QCheckBox(QStringLiteral("Default"), pnlButtons);
    chkDefault->setObjectName(QStringLiteral("chkDefault"));
    btnClose = new QPushButton(QStringLiteral("Close"), pnlButtons);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    lblLoadState = new QLabel(pnlButtons);
    lblLoadState->setObjectName(QStringLiteral("lblLoadState"));
    btnStopLoading = new QPushButton(tr("Stop Loading"), pnlButtons);
    btnStopLoading->setObjectName(QStringLiteral("btnStopLoading"));
    btnStopLoading->hide();
    auto *buttons = new QHBoxLayout(pnlButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(chkDefault);
    buttons->addStretch();
    buttons->addWidget(lblLoadState);
    buttons->addWidget(btnStopLoading);
    buttons->addWidget(btnClose);
    tmrLoad = new QTimer(this);
    tmrLoad->setInterval(kLoadTickMs);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 4);
    layout->addWidget(bmgMaintenance);
    layout->addWidget(grdQueryView, 1);
    layout->addWidget(pnlButtons);

    connect(btnClose, &QPushButton::clicked, this, &TfrmIPEasyEnquiryView::btnCloseClick);
    connect(
        btnStopLoading, &QPushButton::clicked, this, &TfrmIPEasyEnquiryView::btnStopLoadingClick);
    connect(tmrLoad, &QTimer::timeout, this, &TfrmIPEasyEnquiryView::LoadTick);
    qryView->SetWaitForAllRows([this] { return WaitForWholeResult(); });
    connect(mniGridSave, &QAction::triggered, this, &TfrmIPEasyEnquiryView::mniGridSaveClick);
    connect(mniGridChart, &QAction::triggered, this, &TfrmIPEasyEnquiryView::mniGridChartClick);
    connect(mniGridCustColumns, &QAction::triggered, this,
        &TfrmIPEasyEnquiryView::mniGridCustColumnsClick);
    connect(mniFormReset, &QAction::triggered, this, &TfrmIPEasyEnquiryView::mniFormResetClick);
    connect(grdQueryView, &TmxGrid::CustomizationChanged, this,
        &TfrmIPEasyEnquiryView::vwQueryViewCustomization);
}

void TfrmIPEasyEnquiryView::SetEnquiryID(int EnquiryID)
{
    FEnquiryID = EnquiryID;
    qryEasyEnquiry->SetConnection(PayrollConnection());
    qryEasyEnquiry->SelectRecords(
        QString::fromLatin1(TqryIPEasyEnquiry::_IPEQIDEnquiry), EnquiryID);
}

void TfrmIPEasyEnquiryView::showEvent(QShowEvent *event)
{
    // The code names the settings section, so it must be known before the base restores the
    // window's position from it.
    const bool first = !FShown && !event->spontaneous();
    if (first) {
        FShown = true;
        FCode = qryEasyEnquiry->GetCode();
    }
    TfrmQuillon::showEvent(event);
    if (first)
        FormShow();
}

void TfrmIPEasyEnquiryView::FormShow()
{
    LoadBarLayout();
    chkDefault->setChecked(RegIni::ReadBool(QuillonRegName(), kDefaultOpts, false));
    grdQueryView->SetRegistrySection(QuillonRegName(), QStringLiteral("grdQueryView"));
    if (PrepareSQL(FSQL))
        RunEnquiry();
}

bool TfrmIPEasyEnquiryView::PrepareSQL(QString &sql)
{
    Connection *payroll = PayrollConnection();
    Connection *target = ReportConnection(qryEasyEnquiry->GetCommonDB());
    QString error;
    if (payroll && target
        && PrepareEnquirySQL(
            *payroll, FEnquiryID, qryEasyEnquiry->GetSQLStatement(), sql, error, target))
        return true;
    sql.clear();
    ErrMessage(error.isEmpty() ? RunFailureMessage(QString(), 0) : error);
    return false;
}

void TfrmIPEasyEnquiryView::RunEnquiry()
{
    ShowProgressDlg(QStringLiteral("Retrieving Data. Please wait..."), kCaption, 999, false, true);
    AllowProgressCancel();
    QString error;
    qryView->Close();
    const bool common = qryEasyEnquiry->GetCommonDB();
    std::unique_ptr<Connection> connection = OpenLoadConnection(common, error);
    if (!connection) {
        mniGridChart->setEnabled(false);
        HideProgressDlg();
        PopCursor(true);
        ErrMessage(RunFailureMessage(error, 0));
        return;
    }
    qryView->DisableControls();
    // Display updates come back on every way out; the layout resumes them itself on success.
    auto resume = qScopeGuard([this] {
        if (qryView->ControlsDisabled())
            qryView->EnableControls();
    });
    StartEnquiryLoad(*qryView, std::move(connection), FSQL);
    qryView->SetConnection(ReportConnection(common)); // where a refresh runs
    const BackgroundLoad::State state = WaitForFirstScreen();
    if (state == BackgroundLoad::State::Cancelled) {
        // The person stopped the run before it showed anything: the window goes as well.
        mniGridChart->setEnabled(false);
        qryView->Close();
        EndEnquiryLoad(*qryView, state, FCode, QString());
        FRunCancelled = true; // DoIPEasyEnquiryView closes the window once it is shown
        HideProgressDlg();
        PopCursor(true);
        return;
    }
    bool ok = state != BackgroundLoad::State::Failed;
    error = qryView->LastErrorText();
    if (ok) {
        ShowProgressDlg(QStringLiteral("Preparing Data. Please wait..."), kCaption,
            qryView->FieldCount(), false, false);
        SetCaption();
        ok = LayoutGrid(error);
    }
    if (ok) {
        AddDevLogMsg(QStringLiteral("Finish"), kDevLogType);
        mniGridChart->setEnabled(true);
    } else {
        mniGridChart->setEnabled(false);
        qryView->Close(); // a failed run shows no rows
        ErrMessage(RunFailureMessage(error, qryView->LoadElapsedMs()));
    }
    HideProgressDlg();
    PopCursor(true);
    if (ok && state == BackgroundLoad::State::Done)
        LoadEnd(state);
    else if (ok) {
        btnStopLoading->show();
        LoadTick();
        tmrLoad->start();
    }
}

BackgroundLoad::State TfrmIPEasyEnquiryView::WaitForFirstScreen()
{
    while (!qryView->WaitForRows(kFirstScreenRows, kWaitSlice)) {
        PaintProgressDlg();
        if (ProgressCancelled())
            qryView->CancelLoading();
    }
    return qryView->TakeArrivedRows();
}

bool TfrmIPEasyEnquiryView::WaitForWholeResult()
{
    if (!qryView->Loading())
        return FLoadEnd == BackgroundLoad::State::Done;
    // The same progress window and Cancel as the run's: Cancel stops the statement, the rows
    // read stay (marked partial) and the command that waited is not carried out.
    ShowProgressDlg(QStringLiteral("Retrieving Data. Please wait..."), kCaption, 999, false, true);
    AllowProgressCancel();
    while (qryView->Loading() && !qryView->WaitForRows(SIZE_MAX, kWaitSlice)) {
        PaintProgressDlg();
        if (ProgressCancelled())
            qryView->CancelLoading();
    }
    HideProgressDlg();
    LoadTick();
    return !qryView->Loading() && FLoadEnd == BackgroundLoad::State::Done;
}

bool TfrmIPEasyEnquiryView::RowsLoading() const
{
    return qryView->Loading();
}

void TfrmIPEasyEnquiryView::LoadTick()
{
    if (!qryView->Loading()) {
        tmrLoad->stop();
        return;
    }
    const int before = qryView->RowCount();
    const BackgroundLoad::State state = qryView->TakeArrivedRows();
    if (state != BackgroundLoad::State::Loading) {
        LoadEnd(state);
        return;
    }
    if (qryView->RowCount() == before)
        return;
    lblLoadState->setText(tr("loading\u2026 %1 rows").arg(QLocale().toString(qryView->RowCount())));
    emit RowsShown(qryView->RowCount());
}

void TfrmIPEasyEnquiryView::LoadEnd(BackgroundLoad::State end)
{
    tmrLoad->stop();
    btnStopLoading->hide();
    FLoadEnd = end;
    EndEnquiryLoad(*qryView, end, FCode, qryEasyEnquiry->GetDescription());
    const QLocale locale;
    const QString elapsed = locale.toString(qryView->LoadElapsedMs());
    if (end == BackgroundLoad::State::Done) {
        lblLoadState->setText(tr("complete"));
        grdQueryView->SetRowCountSuffix(tr(" \u00b7 run in %1 ms").arg(elapsed));
    } else if (end == BackgroundLoad::State::Cancelled) {
        lblLoadState->setText(tr("partial: %1").arg(PartialReason()));
        grdQueryView->SetRowCountSuffix(tr(" \u00b7 stopped after %1 ms").arg(elapsed));
    } else if (qryView->Active()) {
        // The rows shown stay, marked: the chart would only run into the same error.
        lblLoadState->setText(tr("partial: %1").arg(PartialReason()));
        grdQueryView->SetRowCountSuffix(tr(" \u00b7 failed after %1 ms").arg(elapsed));
        mniGridChart->setEnabled(false);
        if (!FClosing) // a window on its way out has no rows to show; the log keeps the failure
            ErrMessage(PartialFailureMessage(
                qryView->LastError(), qryView->LoadElapsedMs(), qryView->RowCount()));
    } else {
        // No memory was left for a row: the rows read cannot be shown.
        lblLoadState->clear();
        mniGridChart->setEnabled(false);
        ErrMessage(RunFailureMessage(qryView->LastError(), qryView->LoadElapsedMs()));
    }
    emit LoadEnded();
}

void TfrmIPEasyEnquiryView::btnStopLoadingClick()
{
    qryView->CancelLoading(); // the next tick ends the load, keeping the rows read
}

bool TfrmIPEasyEnquiryView::LayoutGrid(QString &error)
{
    QStringList fields;
    for (int field = 0; field < qryView->FieldCount(); ++field)
        fields << qryView->FieldName(field);
    grdQueryView->RemoveAllColumns();

    const QString stored = RegIni::ReadString(QuillonRegName(), kFieldNames, QString());
    std::vector<NamedColumn> named;
    if (!stored.isEmpty()) {
        grdQueryView->LoadAllColumns(true);
        named = ParseFieldNames(stored);
    } else {
        Connection *payroll = PayrollConnection();
        if (!payroll || !ReadColumnRows(*payroll, FEnquiryID, named, error))
            return false;
    }
    const ColumnLayout layout = BuildColumnLayout(fields, named);
    for (const LayoutColumn &column : layout.columns)
        CreateColumn(column.fieldName, column.caption, column.visible);
    for (int step = 0; step < layout.offered; ++step)
        IncProgressDlg(1, 0, QString());
    grdQueryView->LoadAllColumns(false);

    qryView->EnableControls();
    grdQueryView->SetAutoWidth(AutoWidth(grdQueryView->ColumnCount()));
    if (!grdQueryView->AutoWidth())
        grdQueryView->FitColumnsToContent(kMaxNewColumnWidth);
    return true;
}

void TfrmIPEasyEnquiryView::CreateColumn(
    const QString &fieldName, const QString &caption, bool visible)
{
    if (grdQueryView->ColumnByField(fieldName) >= 0)
        return;
    const int column = grdQueryView->AddColumn(fieldName, caption, visible);
    if (objGeneralParameters.iHoursDisplay == 1 && IsHoursColumn(caption))
        grdQueryView->SetHoursEditor(column);
    if (grdQueryView->ColumnWidth(column) > kMaxNewColumnWidth)
        grdQueryView->SetColumnWidth(column, kMaxNewColumnWidth);
}

void TfrmIPEasyEnquiryView::SetCaption()
{
    QString caption = kCaption;
    if (!FCode.isEmpty())
        caption += QStringLiteral(" for \"%1 - %2\"").arg(FCode, qryEasyEnquiry->GetDescription());
    setWindowTitle(caption);
}

void TfrmIPEasyEnquiryView::closeEvent(QCloseEvent *event)
{
    if (!FClosing) {
        FClosing = true;
        FormClose();
    }
    TfrmQuillon::closeEvent(event);
}

void TfrmIPEasyEnquiryView::FormClose()
{
    if (qryView->Loading()) {
        // The statement stops and its thread ends before the window's rows go.
        qryView->CancelLoading();
        while (!qryView->WaitForRows(SIZE_MAX, kWaitSlice)) { }
        LoadTick();
    }
    const bool saveDefault = chkDefault->isChecked();
    grdQueryView->SetSaveSettings(saveDefault);
    SetSaveSettings(saveDefault);
    SaveToReg(saveDefault);
}

void TfrmIPEasyEnquiryView::SaveToReg(bool saveLayout)
{
    if (FCode.isEmpty())
        return; // the IQ was never found: there is no section of its own to write
    const QString section = QuillonRegName();
    RegIni::WriteBool(section, kDefaultOpts, saveLayout);
    // A run that failed has no columns; the layout kept from an earlier run stays in force.
    if (!saveLayout || grdQueryView->ColumnCount() == 0)
        return;
    std::vector<NamedColumn> columns;
    for (const int column : grdQueryView->ColumnsInOrder())
        columns.push_back(
            { grdQueryView->ColumnCaption(column), grdQueryView->ColumnVisible(column) });
    RegIni::WriteString(section, kFieldNames, BuildFieldNames(columns));
    grdQueryView->SaveLayout();
    SaveBarLayout();
}

void TfrmIPEasyEnquiryView::SetDefaultBarItems()
{
    bmgMaintenance->clear();
    bmgMaintenance->addAction(mniGridSave);
    bmgMaintenance->addSeparator();
    bmgMaintenance->addAction(mniGridChart);
}

// The bar's layout is its items in order, by object name, with "|" for a group separator.
void TfrmIPEasyEnquiryView::LoadBarLayout()
{
    const QString stored = RegIni::ReadString(QuillonRegName(), kBarLayout, QString());
    if (stored.isEmpty() || ResetRegistry())
        return;
    const QList<QAction *> known { mniGridSave, mniGridChart };
    QList<QAction *> items;
    for (const QString &name : stored.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (name == kBarSeparator) {
            items << nullptr;
            continue;
        }
        for (QAction *action : known) {
            if (action->objectName() == name && !items.contains(action))
                items << action;
        }
    }
    if (std::none_of(items.begin(), items.end(), [](QAction *action) { return action; }))
        return;
    bmgMaintenance->clear();
    for (QAction *action : std::as_const(items)) {
        if (action)
            bmgMaintenance->addAction(action);
        else
            bmgMaintenance->addSeparator();
    }
}

void TfrmIPEasyEnquiryView::SaveBarLayout()
{
    QStringList names;
    for (const QAction *action : bmgMaintenance->actions())
        names << (action->isSeparator() ? kBarSeparator : action->objectName());
    RegIni::WriteString(QuillonRegName(), kBarLayout, names.join(QLatin1Char(',')));
}

void TfrmIPEasyEnquiryView::keyPressEvent(QKeyEvent *event)
{
    // Close is also the window's Cancel button.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        btnCloseClick();
        return;
    }
    TfrmQuillon::keyPressEvent(event);
}

void TfrmIPEasyEnquiryView::btnCloseClick()
{
    close();
}

bool TfrmIPEasyEnquiryView::Partial() const
{
    return qryView->Active() && !qryView->Loading() && FLoadEnd != BackgroundLoad::State::Done;
}

QString TfrmIPEasyEnquiryView::PartialReason() const
{
    const QString rows = QLocale().toString(qryView->RowCount());
    return FLoadEnd == BackgroundLoad::State::Failed
        ? tr("loading failed after %1 rows").arg(rows)
        : tr("loading was stopped after %1 rows").arg(rows);
}

void TfrmIPEasyEnquiryView::mniGridSaveClick()
{
    // The file carries no mark of its own, so the person decides before it is written.
    if (!qryView->WaitForAllRows())
        return;
    if (Partial()
        && !ConfMessage(tr("The result is partial: %1.\r\n\r\nSave only the %2 rows loaded?")
                            .arg(PartialReason(), QLocale().toString(qryView->RowCount()))))
        return;
    grdQueryView->SaveGridToFile(QStringLiteral("IQ Query Detail"), true, true, false);
}

void TfrmIPEasyEnquiryView::mniGridChartClick()
{
    if (!qryView->WaitForAllRows())
        return;
    if (!qryView->Active() || qryView->RecordCount() < 1)
        return;
    // The chart runs the statement again for its whole result, as long as the loading was.
    if (Partial()
        && !ConfMessage(tr("The grid holds only the %1 rows loaded before loading was "
                           "stopped. The chart runs the IQ again and reads its whole result, "
                           "which may take as long.\r\n\r\nRun the IQ again for the chart?")
                            .arg(QLocale().toString(qryView->RowCount()))))
        return;
    QStringList fields;
    for (const int column : grdQueryView->ColumnsInOrder()) {
        if (grdQueryView->ColumnVisible(column))
            fields << grdQueryView->ColumnField(column);
    }
    if (fields.size() > 1)
        OpenEnquiryChart(
            FEnquiryID, FSQL, grdQueryView->FilterText(), fields.join(QLatin1Char(',')));
}

void TfrmIPEasyEnquiryView::mniGridCustColumnsClick()
{
    grdQueryView->ShowCustomisation();
}

void TfrmIPEasyEnquiryView::mniFormResetClick()
{
    SetResetRegistry(!ResetRegistry());
    mniFormReset->setChecked(ResetRegistry());
}

void TfrmIPEasyEnquiryView::vwQueryViewCustomization(bool opened)
{
    if (opened || FClosing || !qryView->Active() || grdQueryView->DataSet() != qryView)
        return;
    if (!qryView->WaitForAllRows())
        return; // a refresh replaces every row: the load ends first
    QElapsedTimer stopwatch;
    stopwatch.start();
    PushCursor();
    // As long as the run itself: the same progress window and Cancel, and a refresh that fails
    // or is cancelled leaves the rows of the run on screen.
    ShowProgressDlg(QStringLiteral("Retrieving Data. Please wait..."), kCaption, 999, false, true);
    AllowProgressCancel();
    bool refreshed = false;
    if (Connection *connection = qryView->GetConnection()) {
        const ProgressWatch watch(*connection);
        refreshed = qryView->brRefresh(true, QString(), QString());
    }
    HideProgressDlg();
    PopCursor();
    if (refreshed && FLoadEnd != BackgroundLoad::State::Done) {
        // The refresh read the whole result: the rows are no longer partial.
        FLoadEnd = BackgroundLoad::State::Done;
        lblLoadState->setText(tr("complete"));
        grdQueryView->SetRowCountSuffix(QString());
        mniGridChart->setEnabled(true);
    }
    if (!refreshed && qryView->LastError().isCancelled())
        InfoMessage(tr("The refresh was cancelled: the rows shown are those of the earlier run."));
    else if (!refreshed)
        ErrMessage(RunFailureMessage(qryView->LastError(), stopwatch.elapsed()));
}

void DoIPEasyEnquiryView(int EnquiryID)
{
    PushCursor();
    auto *form = new TfrmIPEasyEnquiryView(nullptr);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->SetEnquiryID(EnquiryID);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        form->move(screen->availableGeometry().center() - form->rect().center());
    form->show();
    PopCursor();
    if (form->RunCancelled()) {
        // The person stopped the run: the window that was to show it goes as well, after the
        // message (which may be its child while it is the last window opened).
        form->hide();
        InfoMessage(RunCancelledMessage());
        form->close();
    }
}
