#include "chart/ui/TfrmChartEditor.h"

#include "chart/ChartPalettes.h"
#include "chart/CustomColours.h"
#include "host/core/Messages.h"
#include "host/core/TypeTables.h"
#include "host/ui/ModalDialogs.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>

#include <limits>

namespace {

QDoubleSpinBox *rangeBox(QWidget *parent, const QString &name, double value)
{
    auto *box = new QDoubleSpinBox(parent);
    box->setObjectName(name);
    box->setRange(-1e15, 1e15);
    box->setDecimals(2);
    box->setValue(value);
    return box;
}

} // namespace

TfrmChartEditor::TfrmChartEditor(const Chart &chart, QWidget *parent)
    : TfrmQuillonDlgBase(parent)
    , FChart(chart)
{
    setObjectName(QStringLiteral("ChartEditor"));
    setWindowTitle(tr("Editing Chart"));
    QWidget *client = ClientPanel();

    auto *grpSeries = new QGroupBox(tr("Series"), client);
    lstSeries = new QListWidget(grpSeries);
    lstSeries->setObjectName(QStringLiteral("lstSeries"));
    for (const ChartSeries &series : FChart.series)
        lstSeries->addItem(QString::fromStdString(series.title));
    cbxKind = new QComboBox(grpSeries);
    cbxKind->setObjectName(QStringLiteral("cbxKind"));
    cbxKind->addItems(TChartTypeString());
    edtSeriesTitle = new QLineEdit(grpSeries);
    edtSeriesTitle->setObjectName(QStringLiteral("edtSeriesTitle"));
    chkAutoColour = new QCheckBox(tr("Palette colour"), grpSeries);
    chkAutoColour->setObjectName(QStringLiteral("chkAutoColour"));
    btnColour = new QPushButton(tr("Colour..."), grpSeries);
    btnColour->setObjectName(QStringLiteral("btnColour"));
    chkMarks = new QCheckBox(tr("Marks"), grpSeries);
    chkMarks->setObjectName(QStringLiteral("chkMarks"));
    spnLineWidth = new QSpinBox(grpSeries);
    spnLineWidth->setObjectName(QStringLiteral("spnLineWidth"));
    spnLineWidth->setRange(1, 20);
    auto *colourRow = new QHBoxLayout;
    colourRow->addWidget(chkAutoColour);
    colourRow->addWidget(btnColour);
    auto *seriesForm = new QFormLayout;
    seriesForm->addRow(tr("Kind"), cbxKind);
    seriesForm->addRow(tr("Title"), edtSeriesTitle);
    seriesForm->addRow(tr("Colour"), colourRow);
    seriesForm->addRow(QString(), chkMarks);
    seriesForm->addRow(tr("Line width"), spnLineWidth);
    auto *seriesLayout = new QHBoxLayout(grpSeries);
    seriesLayout->addWidget(lstSeries);
    seriesLayout->addLayout(seriesForm, 1);

    auto *grpChart = new QGroupBox(tr("Chart"), client);
    edtChartTitle = new QLineEdit(QString::fromStdString(FChart.title), grpChart);
    edtChartTitle->setObjectName(QStringLiteral("edtChartTitle"));
    chkLegend = new QCheckBox(tr("Legend"), grpChart);
    chkLegend->setObjectName(QStringLiteral("chkLegend"));
    chkLegend->setChecked(FChart.legendVisible);
    chk3D = new QCheckBox(tr("3D"), grpChart);
    chk3D->setObjectName(QStringLiteral("chk3D"));
    chk3D->setChecked(FChart.view3D);
    cbxPalette = new QComboBox(grpChart);
    cbxPalette->setObjectName(QStringLiteral("cbxPalette"));
    for (const ChartPalette &palette : ChartPalettes())
        cbxPalette->addItem(palette.name);
    cbxPalette->setCurrentIndex(FChart.palette);
    auto *flags = new QHBoxLayout;
    flags->addWidget(chkLegend);
    flags->addWidget(chk3D);
    auto *chartForm = new QFormLayout(grpChart);
    chartForm->addRow(tr("Title"), edtChartTitle);
    chartForm->addRow(QString(), flags);
    chartForm->addRow(tr("Palette"), cbxPalette);

    auto *grpAxes = new QGroupBox(tr("Axes"), client);
    auto *axesForm = new QFormLayout(grpAxes);
    axesForm->addRow(tr("Bottom"),
        AxisRow(edtBottomTitle, chkBottomAuto, spnBottomMin, spnBottomMax, QStringLiteral("Bottom"),
            FChart.bottomAxis));
    axesForm->addRow(tr("Left"),
        AxisRow(edtLeftTitle, chkLeftAuto, spnLeftMin, spnLeftMax, QStringLiteral("Left"),
            FChart.leftAxis));

    auto *layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grpSeries);
    layout->addWidget(grpChart);
    layout->addWidget(grpAxes);

    connect(lstSeries, &QListWidget::currentRowChanged, this, &TfrmChartEditor::ShowSeries);
    connect(btnColour, &QPushButton::clicked, this, &TfrmChartEditor::btnColourClick);
    connect(chkAutoColour, &QCheckBox::toggled, this, &TfrmChartEditor::ShowColour);
    const bool any = !FChart.series.empty();
    for (QWidget *field : std::initializer_list<QWidget *> {
             cbxKind, edtSeriesTitle, chkAutoColour, btnColour, chkMarks, spnLineWidth })
        field->setEnabled(any);
    if (any)
        lstSeries->setCurrentRow(0);
    edtChartTitle->setFocus();
}

QWidget *TfrmChartEditor::AxisRow(QLineEdit *&title, QCheckBox *&automatic,
    QDoubleSpinBox *&minimum, QDoubleSpinBox *&maximum, const QString &prefix,
    const ChartAxis &axis)
{
    auto *row = new QWidget(this);
    title = new QLineEdit(QString::fromStdString(axis.title), row);
    title->setObjectName("edt" + prefix + "Title");
    automatic = new QCheckBox(tr("Automatic"), row);
    automatic->setObjectName("chk" + prefix + "Auto");
    automatic->setChecked(axis.automatic);
    minimum = rangeBox(row, "spn" + prefix + "Min", axis.minimum);
    maximum = rangeBox(row, "spn" + prefix + "Max", axis.maximum);
    minimum->setEnabled(!axis.automatic);
    maximum->setEnabled(!axis.automatic);
    connect(automatic, &QCheckBox::toggled, minimum, &QWidget::setDisabled);
    connect(automatic, &QCheckBox::toggled, maximum, &QWidget::setDisabled);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(title, 2);
    layout->addWidget(automatic);
    layout->addWidget(minimum, 1);
    layout->addWidget(maximum, 1);
    return row;
}

void TfrmChartEditor::ShowSeries(int row)
{
    KeepSeries();
    FSeriesRow = row;
    if (row < 0 || row >= static_cast<int>(FChart.series.size()))
        return;
    const ChartSeries &series = FChart.series[static_cast<std::size_t>(row)];
    cbxKind->setCurrentIndex(static_cast<int>(series.kind));
    edtSeriesTitle->setText(QString::fromStdString(series.title));
    FColour = FChart.SeriesColour(static_cast<std::size_t>(row));
    chkAutoColour->setChecked(series.autoColour);
    chkMarks->setChecked(series.marks.visible);
    spnLineWidth->setValue(series.lineWidth);
    ShowColour();
}

void TfrmChartEditor::KeepSeries()
{
    if (FSeriesRow < 0 || FSeriesRow >= static_cast<int>(FChart.series.size()))
        return;
    ChartSeries &series = FChart.series[static_cast<std::size_t>(FSeriesRow)];
    series.kind = SeriesKindFromIndex(cbxKind->currentIndex());
    series.title = edtSeriesTitle->text().toStdString();
    series.autoColour = chkAutoColour->isChecked();
    if (!series.autoColour)
        series.colour = FColour;
    series.marks.visible = chkMarks->isChecked();
    series.lineWidth = spnLineWidth->value();
    lstSeries->item(FSeriesRow)->setText(edtSeriesTitle->text());
}

void TfrmChartEditor::ShowColour()
{
    btnColour->setEnabled(!chkAutoColour->isChecked() && FSeriesRow >= 0);
    btnColour->setStyleSheet(QStringLiteral("background-color: %1").arg(QColor(FColour).name()));
    btnColour->setToolTip(chkAutoColour->isChecked()
            ? tr("The series takes the palette's colour; untick \"Palette colour\" to choose one.")
            : tr("Choose the series' colour"));
}

void TfrmChartEditor::btnColourClick()
{
    QColorDialog dialog(QColor(FColour), this);
    dialog.setObjectName(QStringLiteral("dlgColour"));
    // The shared custom colours, as far as the picker has room for them.
    const QStringList &custom = CustomColourList();
    for (int i = 0; i < custom.size() && i < QColorDialog::customCount(); ++i) {
        QRgb colour;
        if (ColourFromBGR(custom[i].section(QLatin1Char('='), 1), colour))
            QColorDialog::setCustomColor(i, QColor(colour));
    }
    if (ExecModal(dialog) == QDialog::Accepted && dialog.selectedColor().isValid()) {
        FColour = dialog.selectedColor().rgb();
        ShowColour();
    }
}

void TfrmChartEditor::ReadAxis(ChartAxis &axis, QLineEdit *title, QCheckBox *automatic,
    QDoubleSpinBox *minimum, QDoubleSpinBox *maximum)
{
    axis.title = title->text().toStdString();
    axis.automatic = automatic->isChecked();
    axis.minimum = minimum->value();
    axis.maximum = maximum->value();
}

bool TfrmChartEditor::CanClose()
{
    for (const auto &[automatic, minimum, maximum] :
        { std::tuple { chkBottomAuto, spnBottomMin, spnBottomMax },
            std::tuple { chkLeftAuto, spnLeftMin, spnLeftMax } }) {
        if (!automatic->isChecked() && !(maximum->value() > minimum->value())) {
            ErrMessage(tr("An axis's maximum must be above its minimum."));
            maximum->setFocus();
            return false;
        }
    }
    KeepSeries();
    FChart.title = edtChartTitle->text().toStdString();
    FChart.legendVisible = chkLegend->isChecked();
    FChart.view3D = chk3D->isChecked();
    FChart.palette = std::max(0, cbxPalette->currentIndex());
    ReadAxis(FChart.bottomAxis, edtBottomTitle, chkBottomAuto, spnBottomMin, spnBottomMax);
    ReadAxis(FChart.leftAxis, edtLeftTitle, chkLeftAuto, spnLeftMin, spnLeftMax);
    return true;
}

bool DoChartEditor(Chart &chart)
{
    TfrmChartEditor dialog(chart, ActiveHostWindow());
    if (ExecModal(dialog) != QDialog::Accepted)
        return false;
    chart = dialog.Edited();
    return true;
}
