#pragma once

#include "TestDatabases.h"

#include "host/ui/HostScript.h"

#include <QString>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

class TfrmIPEasyEnquiryView;
class TmxGrid;

// Result windows over small demo databases, with their settings in the test's folder.
class ViewFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A new IQ with its column rows (name, shown) in that order.
    int addEnquiry(const QString &code, const QString &sql,
        const std::vector<std::pair<QString, bool>> &columns = {});
    // Opens a result window the way the list does and returns it.
    TfrmIPEasyEnquiryView *run(int enquiryId);

    static TmxGrid *grid(TfrmIPEasyEnquiryView *view);
    // The grid's columns in their order as "caption,1" (shown) or "caption,0", joined by ",".
    static QString layout(TfrmIPEasyEnquiryView *view);
    static QString section(const QString &code) { return "frmIPEasyEnquiryView_" + code; }

    struct ChartRequest
    {
        int enquiryId;
        QString query;
        QString filter;
        QString columnList;
    };

    TestDatabases db;
    HostScript script;
    std::vector<ChartRequest> chartRequests; // the chart's entry, as the window called it
};

inline constexpr const char *kEmployeesSql
    = "select cEmployeeCode, cFirstName, cSurname, fHourlyRate, dtEngaged, iPayerID "
      "from _iptblEmployees order by cEmployeeCode";
inline constexpr const char *kGeneralFailure
    = "There was a problem running the IQ.\r\n\r\nPlease re-start Corvane and try again.";
