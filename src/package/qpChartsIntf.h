#pragma once

#include "host/ui/TQuillonPackageInterface.h"

// The package's interface object: declares the group-manager page and the IQ list to the host
// and opens the IQ windows on the host's messages.
class TrpICharts : public TQuillonPackageInterface
{
    Q_OBJECT
public:
    Q_INVOKABLE explicit TrpICharts(QObject *parent = nullptr);

    void GetObjectClassList() override;
    void NonVisiblePkgMessage(int message, qint64 param1, qint64 param2, bool &handled) override;
};

// Host messages the package answers.
inline constexpr int kMsgOpenEnquiryList = 9399;
inline constexpr int kMsgOpenEnquiryEditor = 9400;

// The package's start-up and shut-down: register and remove TrpICharts in the host's class
// registry, once however often they run (a counter guards both).
void qpChartsInitialize();
void qpChartsFinalize();
int qpChartsRegistrationCount();
