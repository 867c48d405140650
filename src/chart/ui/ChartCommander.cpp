#include "chart/ui/ChartCommander.h"

#include "chart/ui/ChartView.h"

#include <QAction>
#include <QActionGroup>
#include <QHash>
#include <QKeySequence>

ChartCommander::ChartCommander(ChartView *view, QWidget *parent)
    : QToolBar(QStringLiteral("Chart"), parent)
    , m_view(view)
    , m_actions(12, nullptr)
{
    setMovable(false);
    setFloatable(false);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto *tools = new QActionGroup(this);
    const struct
    {
        int control;
        ChartView::Tool tool;
        const char *text, *tip, *name;
    } pointerTools[] = {
        { Pointer, ChartView::Tool::Pointer, "Pointer", "Normal pointer: clicks go to the chart",
            "tbPointer" },
        { ZoomTool, ChartView::Tool::Zoom, "Zoom",
            "Drag down and right to zoom in, up and left to zoom out", "tbZoom" },
        { MoveTool, ChartView::Tool::Move, "Move", "Drag to move the chart's axes", "tbMove" },
        { DepthTool, ChartView::Tool::Depth, "Depth", "Drag up or down to change the 3D depth",
            "tbDepth" },
    };
    for (const auto &entry : pointerTools) {
        QAction *action = MakeAction(entry.control, tr(entry.text), tr(entry.tip), entry.name);
        action->setCheckable(true);
        action->setChecked(entry.tool == ChartView::Tool::Pointer);
        tools->addAction(action);
        const ChartView::Tool tool = entry.tool;
        connect(action, &QAction::triggered, this, [this, tool] { m_view->SetTool(tool); });
    }
    QAction *view3D = MakeAction(View3D, tr("3D"), tr("Switch between 2D and 3D"), "tb3D");
    view3D->setCheckable(true);
    view3D->setChecked(true);
    connect(view3D, &QAction::toggled, this, &ChartCommander::View3DToggled);
    connect(MakeAction(Print, tr("Print"), tr("Print the chart"), "tbPrint"), &QAction::triggered,
        this, &ChartCommander::PrintRequested);
    connect(
        MakeAction(Copy, tr("Copy"), tr("Copy the chart to the clipboard as a picture"), "tbCopy"),
        &QAction::triggered, this, &ChartCommander::CopyRequested);
    connect(MakeAction(Export, tr("Export..."), tr("Save the chart as a PNG, SVG or PDF file"),
                "tbExport"),
        &QAction::triggered, this, &ChartCommander::ExportRequested);
    connect(MakeAction(
                Edit, tr("Edit..."), tr("Edit the chart: series, titles, axes, palette"), "tbEdit"),
        &QAction::triggered, this, &ChartCommander::EditRequested);
    connect(MakeAction(Marks, tr("Marks"), tr("Show or hide the value marks"), "tbMarks"),
        &QAction::triggered, this, &ChartCommander::MarksToggled);
    connect(
        MakeAction(ResetView, tr("Reset"), tr("Undo zoom, move and depth changes"), "tbResetView"),
        &QAction::triggered, this, &ChartCommander::ResetRequested);
}

QAction *ChartCommander::MakeAction(
    int control, const QString &text, const QString &tip, const QString &name)
{
    // Keys for the commands a person reaches without the mouse.
    static const QHash<int, QKeySequence> keys { { Edit, QKeySequence(tr("Ctrl+E")) },
        { Export, QKeySequence::Save }, { Copy, QKeySequence::Copy },
        { Print, QKeySequence::Print }, { View3D, QKeySequence(tr("Ctrl+3")) },
        { ResetView, QKeySequence(tr("Ctrl+R")) } };
    auto *action = new QAction(text, this);
    action->setObjectName(name);
    const QKeySequence key = keys.value(control);
    action->setShortcut(key);
    action->setToolTip(key.isEmpty()
            ? tip
            : tip + QStringLiteral(" (%1)").arg(key.toString(QKeySequence::NativeText)));
    m_actions[static_cast<std::size_t>(control)] = action;
    return action;
}

QAction *ChartCommander::ControlAction(int control) const
{
    return control >= 0 && control < static_cast<int>(m_actions.size())
        ? m_actions[static_cast<std::size_t>(control)]
        : nullptr;
}

void ChartCommander::CreateControls(const std::vector<int> &controls)
{
    clear();
    for (const int control : controls) {
        if (control == Separator)
            addSeparator();
        else if (QAction *action = ControlAction(control))
            addAction(action);
    }
}
