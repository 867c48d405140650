#pragma once

#include "chart/ChartModel.h"
#include "host/ui/TfrmQuillonDlgBase.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

// Our chart editor: series (kind, title, colour, marks, line width), chart (title, legend, 3D,
// palette) and axes (titles, ranges). It edits a copy; OK hands the copy back.
class TfrmChartEditor final : public TfrmQuillonDlgBase
{
    Q_OBJECT
public:
    TfrmChartEditor(const Chart &chart, QWidget *parent);
    int GetCurrentHelpContext() const override { return 180110; }
    const Chart &Edited() const { return FChart; }

protected:
    bool CanClose() override;

private:
    void ShowSeries(int row);
    void KeepSeries(); // the series fields into FChart
    void btnColourClick();
    void ShowColour();
    QWidget *AxisRow(QLineEdit *&title, QCheckBox *&automatic, QDoubleSpinBox *&minimum,
        QDoubleSpinBox *&maximum, const QString &prefix, const ChartAxis &axis);
    static void ReadAxis(ChartAxis &axis, QLineEdit *title, QCheckBox *automatic,
        QDoubleSpinBox *minimum, QDoubleSpinBox *maximum);

    Chart FChart;
    int FSeriesRow = -1;
    QListWidget *lstSeries;
    QComboBox *cbxKind;
    QLineEdit *edtSeriesTitle;
    QCheckBox *chkAutoColour;
    QPushButton *btnColour;
    QCheckBox *chkMarks;
    QSpinBox *spnLineWidth;
    QLineEdit *edtChartTitle;
    QCheckBox *chkLegend;
    QCheckBox *chk3D;
    QComboBox *cbxPalette;
    QLineEdit *edtBottomTitle, *edtLeftTitle;
    QCheckBox *chkBottomAuto, *chkLeftAuto;
    QDoubleSpinBox *spnBottomMin, *spnBottomMax, *spnLeftMin, *spnLeftMax;
    QRgb FColour = 0;
};

// True when the person confirmed; `chart` then holds the edit.
bool DoChartEditor(Chart &chart);
