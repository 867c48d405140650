#include "package/qpChartsIntf.h"

#include "host/core/ClassRegistry.h"
#include "package/PackageStrings.h"
#include "package/PackageWindows.h"
#include "package/TfrmGroupManagerCharts.h"
#include "run/EnquiryWindows.h"

namespace {

// Values the host expects in each object entry; only their values are ours to give.
const QSet<int> kModules { 1 };
constexpr quint16 kGroupManagerOptions = (1u << 6) | (1u << 8); // 320
constexpr quint16 kEnquiryListOptions = (1u << 0) | (1u << 6); // 65
constexpr int kEntryColour = 13607936; // 0xCFA400

int g_registrationCount = 0;

} // namespace

TrpICharts::TrpICharts(QObject *parent)
    : TQuillonPackageInterface(parent)
{
    setObjectName("TrpICharts");
}

void TrpICharts::GetObjectClassList()
{
    TQuillonPackageInterface::GetObjectClassList();
    AddObjectClass(kModules, "TfrmGroupManagerCharts", &TfrmGroupManagerCharts::staticMetaObject,
        "CHART", kGroupManagerOptions, PackageString(sEmptyCaption), kEntryColour, 0);
    AddObjectClass(kModules, "TfrmIPEasyEnquiry", EnquiryListClass(), "IQTREENODE",
        kEnquiryListOptions, PackageString(sEasyShowEnquiry), kEntryColour, 0);
}

void TrpICharts::NonVisiblePkgMessage(int message, qint64 param1, qint64 param2, bool &handled)
{
    TQuillonPackageInterface::NonVisiblePkgMessage(message, param1, param2, handled);
    if (handled)
        return;
    switch (message) {
    case kMsgOpenEnquiryList:
        // Only the low byte of the first parameter is the modal flag.
        OpenEnquiryList((param1 & 0xFF) != 0, param2);
        handled = true;
        break;
    case kMsgOpenEnquiryEditor:
        OpenEnquiryEditor(static_cast<int>(param1), (param2 & 0xFF) != 0, true);
        handled = true;
        break;
    default:
        break;
    }
}

void qpChartsInitialize()
{
    if (g_registrationCount++ > 0)
        return;
    InstallEnquiryWindows();
    RegisterClass("TrpICharts", [] { return new TrpICharts; });
}

void qpChartsFinalize()
{
    if (g_registrationCount > 0 && --g_registrationCount == 0)
        UnRegisterClass("TrpICharts");
}

int qpChartsRegistrationCount()
{
    return g_registrationCount;
}

namespace {

// Loading the library runs this start-up; unloading it runs the shut-down.
struct PackageLifetime
{
    PackageLifetime() { qpChartsInitialize(); }
    ~PackageLifetime() { qpChartsFinalize(); }
} g_packageLifetime;

} // namespace
