#pragma once

#include <QToolBar>

#include <vector>

class QAction;
class ChartView;

// The chart's toolbar. Its tools are numbered so that a window lists the ones it wants:
// 0 pointer, 1 separator (so it may repeat), 2 zoom, 3 move, 4 3D, 5 depth, 6 print, 7 copy,
// 8 export, 9 edit, 10 marks, 11 reset view.
class ChartCommander final : public QToolBar
{
    Q_OBJECT
public:
    enum Control {
        Pointer = 0,
        Separator = 1,
        ZoomTool = 2,
        MoveTool = 3,
        View3D = 4,
        DepthTool = 5,
        Print = 6,
        Copy = 7,
        Export = 8,
        Edit = 9,
        Marks = 10,
        ResetView = 11
    };

    ChartCommander(ChartView *view, QWidget *parent);
    void CreateControls(const std::vector<int> &controls);
    QAction *ControlAction(int control) const;

signals:
    void EditRequested();
    void ExportRequested();
    void CopyRequested();
    void PrintRequested();
    void View3DToggled(bool on);
    void MarksToggled();
    void ResetRequested();

private:
    QAction *MakeAction(int control, const QString &text, const QString &tip, const QString &name);
    ChartView *m_view;
    std::vector<QAction *> m_actions; // by control number; null for the separator
};
