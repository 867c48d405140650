#include "package/TfrmGroupManagerCharts.h"

TfrmGroupManagerCharts::TfrmGroupManagerCharts(QWidget *parent)
    : TfrmGroupManager(parent)
{
    setObjectName("frmGroupManagerCharts");
    setWindowTitle("frmGroupManagerCharts");
    resize(617, 335);
}
