#pragma once

#include "chart/ChartBuilder.h"
#include "chart/ChartModel.h"
#include "host/ui/TfrmQuillon.h"

class ChartCommander;
class ChartView;
class QAction;
class QCheckBox;
class QGroupBox;
class QMenu;
class QPushButton;
class TQuillonADOQuery;
class TqryIPEasyEnquiry;

// The modeless window that charts an IQ's result: runs the grid's statement again, restores the
// IQ's chart, lets the person change it (options dialog, editor, toolbar) and on close stores
// it as the IQ's default chart, erases it, or leaves it alone.
class TfrmIPEasyEnquiryChart final : public TfrmQuillon
{
    Q_OBJECT
public:
    explicit TfrmIPEasyEnquiryChart(QWidget *parent = nullptr);
    ~TfrmIPEasyEnquiryChart() override;

    void SetEnquiryID(int EnquiryID);
    void SetQuery(const QString &Query) { FQuery = Query; }
    void SetFilter(const QString &Filter) { FFilter = Filter; }
    void SetColumnList(const QString &ColumnList);
    QString RegistryVersion() const override { return QStringLiteral("001"); }
    int GetCurrentHelpContext() const override { return 180110; }
    const Chart &CurrentChart() const { return FChart; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void FormCloseQuery();
    void SetCaption();
    bool OpenResult();
    void RefreshChart(bool Recreate, bool LoadTemplate);
    void ChartDblClick();
    void ChartMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void TeeCommanderEditedChart();
    void mniFormResetClick();
    void btnCloseClick();
    void ExportChartClick();
    void CopyChartClick();
    void PrintChartClick();

    QGroupBox *grpChart;
    ChartCommander *TeeCommander;
    ChartView *chtChart; // the object named "Chart"
    QWidget *pnlButtons;
    QCheckBox *chkDefault;
    QPushButton *btnClose;
    QMenu *popChart;
    QAction *mniFormReset;
    TqryIPEasyEnquiry *qryEasyEnquiry;
    TQuillonADOQuery *qryChart;

    Chart FChart;
    ChartBuilder FBuilder;
    int FEnquiryID = 0;
    QString FQuery;
    QString FFilter;
    QString FTitle;
    bool FShowLegend = true;
    bool FShown = false;
    bool FClosing = false;
};

// Opens the chart window for the result grid's statement, filter and visible columns.
void DoIPEasyEnquiryChart(
    int EnquiryID, const QString &Query, const QString &Filter, const QString &ColumnList);
