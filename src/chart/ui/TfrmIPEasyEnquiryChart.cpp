#include "chart/ui/TfrmIPEasyEnquiryChart.h"

#include "chart/ChartExport.h"
#include "chart/ChartLayoutStore.h"
#include "chart/ChartTemplate.h"
#include "chart/CustomColours.h"
#include "chart/ui/ChartCommander.h"
#include "chart/ui/ChartView.h"
#include "chart/ui/TfrmChartEditor.h"
#include "chart/ui/TfrmIPEasyChartOptions.h"
#include "host/core/Cursor.h"
#include "host/core/HostContext.h"
#include "host/core/Messages.h"
#include "host/core/RegIni.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/ui/ModalDialogs.h"
#include "run/EnquiryExecution.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileDialog>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("IQ Chart");
const QString kDefaultOpts = QStringLiteral("DefaultOpts");
// The library's standard tools in the order the window lists them (1 is the separator).
const std::vector<int> kToolbarControls { 0, 1, 2, 3, 4, 5, 11, 1, 7, 8, 9 };
}

TfrmIPEasyEnquiryChart::TfrmIPEasyEnquiryChart(QWidget *parent)
    : TfrmQuillon(parent)
{
    FormCreate();
}

TfrmIPEasyEnquiryChart::~TfrmIPEasyEnquiryChart() = default;

void TfrmIPEasyEnquiryChart::FormCreate()
{
    setObjectName(QStringLiteral("frmIPEasyEnquiryChart"));
    SetRegistryName(QStringLiteral("frmIPEasyEnquiryChart"));
    setWindowTitle(kCaption);
    resize(627, 577);

    qryEasyEnquiry = new TqryIPEasyEnquiry(this);
    qryEasyEnquiry->setObjectName(QStringLiteral("qryEasyEnquiry"));
    qryChart = new TQuillonADOQuery(this);
    qryChart->setObjectName(QStringLiteral("qryChart"));
    qryChart->SetCommandTimeout(0);

    grpChart = new QGroupBox(tr("Chart"), this);
    grpChart->setObjectName(QStringLiteral("grpChart"));
    chtChart = new ChartView(FChart, grpChart);
    chtChart->setObjectName(QStringLiteral("Chart"));
    TeeCommander = new ChartCommander(chtChart, grpChart);
    TeeCommander->setObjectName(QStringLiteral("TeeCommander"));

    pnlButtons = new QWidget(grpChart);
    pnlButtons->setObjectName(QStringLiteral("pnlButtons"));
    pnlButtons->setFixedHeight(37);
    chkDefault = new QCheckBox(tr("Default"), pnlButtons);
    chkDefault->setObjectName(QStringLiteral("chkDefault"));
    chkDefault->setToolTip(tr("On close, keep this chart as the IQ's default chart"));
    btnClose = new QPushButton(tr("Close"), pnlButtons);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    auto *buttons = new QHBoxLayout(pnlButtons);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(chkDefault);
    buttons->addStretch();
    buttons->addWidget(btnClose);

    auto *inner = new QVBoxLayout(grpChart);
    inner->addWidget(TeeCommander);
    inner->addWidget(chtChart, 1);
    inner->addWidget(pnlButtons);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(grpChart);

    mniFormReset = new QAction(tr("&Reset Form Defaults"), this);
    mniFormReset->setObjectName(QStringLiteral("mniFormReset"));
    mniFormReset->setToolTip(tr("Reset Form Defaults"));
    mniFormReset->setCheckable(true);
    popChart = new QMenu(this);
    popChart->setObjectName(QStringLiteral("popChart"));
    popChart->addAction(mniFormReset);

    connect(btnClose, &QPushButton::clicked, this, &TfrmIPEasyEnquiryChart::btnCloseClick);
    connect(mniFormReset, &QAction::triggered, this, &TfrmIPEasyEnquiryChart::mniFormResetClick);
    connect(chtChart, &ChartView::DoubleClicked, this, &TfrmIPEasyEnquiryChart::ChartDblClick);
    connect(chtChart, &ChartView::MouseReleased, this, &TfrmIPEasyEnquiryChart::ChartMouseUp);
    connect(TeeCommander, &ChartCommander::EditRequested, this,
        &TfrmIPEasyEnquiryChart::TeeCommanderEditedChart);
    connect(TeeCommander, &ChartCommander::ExportRequested, this,
        &TfrmIPEasyEnquiryChart::ExportChartClick);
    connect(TeeCommander, &ChartCommander::CopyRequested, this,
        &TfrmIPEasyEnquiryChart::CopyChartClick);
    connect(TeeCommander, &ChartCommander::PrintRequested, this,
        &TfrmIPEasyEnquiryChart::PrintChartClick);
    connect(TeeCommander, &ChartCommander::ResetRequested, chtChart, &ChartView::ResetView);
    connect(TeeCommander, &ChartCommander::View3DToggled, this, [this](bool on) {
        FChart.view3D = on;
        chtChart->update();
    });
    connect(TeeCommander, &ChartCommander::MarksToggled, this, [this] {
        const bool show = FChart.series.empty() || !FChart.series.front().marks.visible;
        for (ChartSeries &series : FChart.series)
            series.marks.visible = show;
        chtChart->update();
    });
}

void TfrmIPEasyEnquiryChart::SetEnquiryID(int EnquiryID)
{
    FEnquiryID = EnquiryID;
    qryEasyEnquiry->SetConnection(PayrollConnection());
    qryEasyEnquiry->SelectRecords(
        QString::fromLatin1(TqryIPEasyEnquiry::_IPEQIDEnquiry), EnquiryID);
}

void TfrmIPEasyEnquiryChart::SetColumnList(const QString &ColumnList)
{
    FBuilder.SetColumnList(ColumnList);
}

void TfrmIPEasyEnquiryChart::showEvent(QShowEvent *event)
{
    const bool first = !FShown && !event->spontaneous();
    FShown = FShown || first;
    TfrmQuillon::showEvent(event);
    if (first)
        FormShow();
}

void TfrmIPEasyEnquiryChart::FormShow()
{
    chkDefault->setChecked(RegIni::ReadBool(QuillonRegName(), kDefaultOpts, false));
    TeeCommander->CreateControls(kToolbarControls);
    SetCaption();
    LoadCustomColours(qryEasyEnquiry->GetCustomColor());
    if (!OpenResult())
        return;
    FBuilder.SetDescription(qryEasyEnquiry->GetDescription());
    FBuilder.SetPalette(qryEasyEnquiry->GetPalette());
    const QString x = qryEasyEnquiry->GetXColumn();
    const QString y = qryEasyEnquiry->GetYColumn();
    FBuilder.PrepareCount(x, y, true);
    if (FBuilder.Count() > 0)
        FBuilder.PrepareXYColumn(x, y, true);
    RefreshChart(false, true);
    chtChart->setFocus();
}

bool TfrmIPEasyEnquiryChart::OpenResult()
{
    qryChart->Close();
    qryChart->SetSQL(QString());
    qryChart->SetConnection(ReportConnection(qryEasyEnquiry->GetCommonDB()));
    qryChart->SetSQL(FQuery);
    if (!qryChart->GetConnection() || !qryChart->Open()) {
        ErrMessage(RunFailureMessage(qryChart->LastError(), kElapsedNotMeasured));
        return false;
    }
    if (!qryChart->SetFilter(FFilter)) {
        ErrMessage(qryChart->LastErrorText());
        return false;
    }
    return true;
}

void TfrmIPEasyEnquiryChart::RefreshChart(bool Recreate, bool LoadTemplate)
{
    std::optional<QByteArray> layout;
    QString error;
    if (LoadTemplate && PayrollConnection()) {
        layout = ReadChartLayout(*PayrollConnection(), FEnquiryID, error);
        if (!error.isEmpty())
            ErrMessage(ChartTemplateMessage(error));
        error.clear();
    }
    // A value that is no number stops the build: the points so far stay on screen.
    if (!FBuilder.RefreshChart(FChart, *qryChart, Recreate, LoadTemplate, layout, error))
        ErrMessage(error);
    TeeCommander->ControlAction(ChartCommander::View3D)->setChecked(FChart.view3D);
    chtChart->update();
}

void TfrmIPEasyEnquiryChart::SetCaption()
{
    const QString code = qryEasyEnquiry->GetCode();
    QString caption = kCaption;
    if (!code.isEmpty())
        caption += QStringLiteral(" for \"%1 - %2\"").arg(code, qryEasyEnquiry->GetDescription());
    setWindowTitle(caption);
}

void TfrmIPEasyEnquiryChart::ChartDblClick()
{
    PushCursor();
    QString x = FBuilder.XColumn();
    QString y = FBuilder.GetYColumn();
    FTitle = QString::fromStdString(FChart.title);
    int chartType = FChart.series.empty() ? FBuilder.ChartType()
                                          : ChartBuilder::SetChartType(FChart.series.front());
    FShowLegend = FChart.legendVisible;
    int palette = FBuilder.Palette();
    if (DoIPEasyChartOptions(
            FBuilder.ColumnList(), x, y, palette, FTitle, chartType, FShowLegend)) {
        FBuilder.SetPalette(palette);
        FBuilder.PrepareCount(x, y, false);
        if (FBuilder.Count() > 0)
            FBuilder.PrepareXYColumn(x, y, false);
        if (QString::fromStdString(FChart.title) != FTitle)
            FChart.title = FTitle.toStdString();
        FChart.legendVisible = FShowLegend;
        // With no series there is no kind to compare: the chosen one makes the new series.
        const bool recreate = FChart.series.empty()
            || ChartBuilder::SetChartType(FChart.series.front()) != chartType;
        FBuilder.SetChartType(chartType);
        RefreshChart(recreate, false);
    }
    chtChart->CancelMouse();
    PopCursor();
}

void TfrmIPEasyEnquiryChart::ChartMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    if (button == Qt::RightButton && modifiers == (Qt::ControlModifier | Qt::AltModifier)) {
        if (DoChartEditor(FChart))
            chtChart->update();
    }
}

void TfrmIPEasyEnquiryChart::TeeCommanderEditedChart()
{
    if (!DoChartEditor(FChart))
        return;
    // Refilled from the result with the kinds and settings given; the window's palette and the
    // columns' axis titles apply again.
    RefreshChart(false, false);
}

void TfrmIPEasyEnquiryChart::contextMenuEvent(QContextMenuEvent *event)
{
    // Ctrl+Alt+right click belongs to the chart editor.
    if (QGuiApplication::keyboardModifiers() == (Qt::ControlModifier | Qt::AltModifier))
        return;
    popChart->popup(event->globalPos());
}

void TfrmIPEasyEnquiryChart::mniFormResetClick()
{
    SetResetRegistry(!ResetRegistry());
    mniFormReset->setChecked(ResetRegistry());
}

void TfrmIPEasyEnquiryChart::btnCloseClick()
{
    close();
}

void TfrmIPEasyEnquiryChart::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        btnCloseClick();
        return;
    }
    TfrmQuillon::keyPressEvent(event);
}

void TfrmIPEasyEnquiryChart::closeEvent(QCloseEvent *event)
{
    if (!FClosing) {
        FClosing = true;
        FormCloseQuery();
    }
    TfrmQuillon::closeEvent(event);
}

void TfrmIPEasyEnquiryChart::FormCloseQuery()
{
    const bool saveDefaults = !ResetRegistry() && chkDefault->isChecked();
    RegIni::WriteBool(QuillonRegName(), kDefaultOpts, saveDefaults);
    SetSaveSettings(saveDefaults);
    if (!qryEasyEnquiry->Active() || qryEasyEnquiry->IsEmpty())
        return;
    if (!ResetRegistry() && !saveDefaults)
        return; // nothing to write: the IQ keeps its stored chart
    if (!qryEasyEnquiry->brEdit()) {
        ErrMessage(ChartTemplateMessage(qryEasyEnquiry->LastErrorText()));
        return;
    }
    if (ResetRegistry()) {
        for (const char *column : { TqryIPEasyEnquiry::_IPEQXColumn,
                 TqryIPEasyEnquiry::_IPEQYColumn, TqryIPEasyEnquiry::_IPEQPalette,
                 TqryIPEasyEnquiry::_IPEQCustomColor, TqryIPEasyEnquiry::_IPEQChartLayout })
            qryEasyEnquiry->FieldByName(QString::fromLatin1(column)).Clear();
    } else {
        qryEasyEnquiry->SetXColumn(FBuilder.XColumn());
        qryEasyEnquiry->SetYColumn(FBuilder.GetYColumn());
        qryEasyEnquiry->SetPalette(FBuilder.Palette());
        qryEasyEnquiry->SetCustomColor(StoredCustomColours());
        qryEasyEnquiry->SetChartLayout(SaveChartTemplate(FChart));
    }
    if (!qryEasyEnquiry->brPost()) {
        ErrMessage(ChartTemplateMessage(qryEasyEnquiry->LastErrorText()));
        qryEasyEnquiry->Cancel();
    }
}

void TfrmIPEasyEnquiryChart::ExportChartClick()
{
    QFileDialog dialog(this, tr("Export Chart"));
    dialog.setObjectName(QStringLiteral("dlgExportChart"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(
        { tr("PNG picture (*.png)"), tr("SVG drawing (*.svg)"), tr("PDF document (*.pdf)") });
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(
        qryEasyEnquiry->GetCode().isEmpty() ? QStringLiteral("chart") : qryEasyEnquiry->GetCode());
    if (ExecModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString error;
    if (!ExportChart(FChart, chtChart->size(), dialog.selectedFiles().constFirst(), error))
        ErrMessage(error);
}

void TfrmIPEasyEnquiryChart::CopyChartClick()
{
    QGuiApplication::clipboard()->setImage(RenderChartImage(FChart, chtChart->size()));
}

void TfrmIPEasyEnquiryChart::PrintChartClick()
{
    QPrinter printer;
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("dlgPrintChart"));
    if (ExecModal(dialog) != QDialog::Accepted)
        return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        ErrMessage(tr("The chart could not be printed: the printer did not start."));
        return;
    }
    PaintChart(FChart, painter, painter.viewport());
}

void DoIPEasyEnquiryChart(
    int EnquiryID, const QString &Query, const QString &Filter, const QString &ColumnList)
{
    PushCursor();
    auto *form = new TfrmIPEasyEnquiryChart(nullptr);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->SetEnquiryID(EnquiryID);
    form->SetQuery(Query);
    form->SetFilter(Filter);
    form->SetColumnList(ColumnList);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        form->move(screen->availableGeometry().center() - form->rect().center());
    form->show();
    PopCursor();
}
