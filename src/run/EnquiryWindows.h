#pragma once

#include <QString>

#include <functional>

class TQuillonTempTable;

// The table through which one IQ subsystem opens another's window without including it: the
// package fills it with the windows' Do... functions when it starts, a test with what it needs.
// An empty entry opens nothing.
struct EnquiryWindows
{
    std::function<void(bool modal, qint64 selectedList)> list;
    std::function<void(int enquiryId, bool copy, bool editable)> editor;
    // True when confirmed; `params` as the parameter dialog hands it back.
    std::function<bool(
        int enquiryId, TQuillonTempTable *&params, const QString &title, bool editable)>
        parameters;
    std::function<void(int enquiryId)> result;
    std::function<void(
        int enquiryId, const QString &query, const QString &filter, const QString &columnList)>
        chart;
    std::function<bool(int enquiryId)> exportEnquiry;
    // On success `enquiryId` is the id of the last IQ imported (0 when none).
    std::function<bool(int &enquiryId)> importEnquiries;
};

EnquiryWindows &IQWindows();

// The calls, each doing nothing (and answering false) when its entry is empty.
void OpenEnquiryList(bool modal, qint64 selectedList);
void OpenEnquiryEditor(int enquiryId, bool copy, bool editable);
bool OpenEnquiryParameters(
    int enquiryId, TQuillonTempTable *&params, const QString &title, bool editable);
void OpenEnquiryResult(int enquiryId);
void OpenEnquiryChart(
    int enquiryId, const QString &query, const QString &filter, const QString &columnList);
bool OpenEnquiryExport(int enquiryId);
bool OpenEnquiryImport(int &enquiryId);
