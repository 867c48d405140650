#pragma once

#include "host/ui/TfrmGroupManager.h"

// The package's page in the host's navigation: the host's group manager shown as large icons.
class TfrmGroupManagerCharts final : public TfrmGroupManager
{
    Q_OBJECT
public:
    Q_INVOKABLE explicit TfrmGroupManagerCharts(QWidget *parent = nullptr);
    int DefaultViewStyle() const override { return 2; }
};
