#pragma once

#include "host/db/dataset/BackgroundLoad.h"
#include "host/ui/TfrmQuillon.h"

#include <QString>

class QAction;
class QCheckBox;
class QLabel;
class QTimer;
class QMenu;
class QPushButton;
class QToolBar;
class TQuillonADOQuery;
class TmxGrid;
class TqryIPEasyEnquiry;

// The result of one IQ run: shown modelessly; showing it prepares the statement, runs it and
// lays the grid out from the layout kept for the IQ (or its column rows). Several can be open.
class TfrmIPEasyEnquiryView final : public TfrmQuillon
{
    Q_OBJECT
public:
    explicit TfrmIPEasyEnquiryView(QWidget *parent = nullptr);
    ~TfrmIPEasyEnquiryView() override;

    // Selects the IQ's definition row at once.
    void SetEnquiryID(int EnquiryID);
    QString RegistryVersion() const override { return FCode; }
    int GetCurrentHelpContext() const override { return 180010; }
    bool RunCancelled() const { return FRunCancelled; } // Cancel was pressed during the run
    bool RowsLoading() const; // rows of the result are still arriving

signals:
    void RowsShown(int rows); // more rows of a result still loading are on screen
    void LoadEnded(); // the rows stopped arriving: all there, stopped, or failed

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    bool PrepareSQL(QString &sql);
    void RunEnquiry();
    BackgroundLoad::State WaitForFirstScreen();
    bool WaitForWholeResult();
    void LoadTick();
    void LoadEnd(BackgroundLoad::State end);
    void btnStopLoadingClick();
    bool Partial() const; // the rows shown are what was read before the load stopped or failed
    QString PartialReason() const; // "loading was stopped after N rows" or "... failed ..."

    bool LayoutGrid(QString &error);
    void CreateColumn(const QString &fieldName, const QString &caption, bool visible);
    void SetCaption();
    void SaveToReg(bool saveLayout);
    void LoadBarLayout();
    void SaveBarLayout();
    void SetDefaultBarItems();

    void btnCloseClick();
    void mniGridSaveClick();
    void mniGridChartClick();
    void mniGridCustColumnsClick();
    void mniFormResetClick();
    void vwQueryViewCustomization(bool opened);

    // Children: the window owns them.
    TmxGrid *grdQueryView;
    TQuillonADOQuery *qryView;
    TqryIPEasyEnquiry *qryEasyEnquiry;
    QToolBar *bmgMaintenance;
    QMenu *popMaintenance;
    QAction *mniGridSave;
    QAction *mniGridChart;
    QAction *mniGridCustColumns;
    QAction *mniFormReset;
    QWidget *pnlButtons;
    QCheckBox *chkDefault;
    QPushButton *btnClose;
    QLabel *lblLoadState;
    QPushButton *btnStopLoading;
    QTimer *tmrLoad; // while rows arrive: brings them into the grid

    int FEnquiryID = 0;
    QString FSQL;
    QString FCode;
    bool FShown = false;
    bool FClosing = false;
    bool FRunCancelled = false;
    BackgroundLoad::State FLoadEnd = BackgroundLoad::State::Done; // how the last load ended
};

// Opens a result window for the IQ and runs it; returns when the result is on screen.
void DoIPEasyEnquiryView(int EnquiryID);
