#pragma once

#include "edit/EditorColumns.h"
#include "run/ParamValue.h"

#include <QString>

#include <optional>
#include <vector>

class Connection;

// The definition fields of an IQ as the editor's controls hold them.
struct EnquiryFields
{
    QString code; // stored trimmed
    QString description; // stored trimmed
    std::optional<int> payrollCompanyId; // empty box: null
    std::optional<int> payFrequencyId;
    std::optional<int> iqTypeId;
    QString newIQType; // a type typed that the list lacks: added by the save, and only then
    bool commonDb = false;
};

enum class EditorMode { Add, Edit, View, Copy };

// What the editor's OK refuses, and the control that gets the focus.
struct EditorRefusal
{
    QString text;
    QString control; // "edtCode", "btnSQLStatement"
};

// Everything the IQ editor does that needs no window, shared by the editor dialog and
// "corvane-iq add/edit/copy": loading a definition in one of four modes, rebuilding columns and
// parameters from a changed statement, OK's checks and the save. Reads and writes go through the
// host's payroll connection; statements are compiled, never run, on the report connection of
// the IQ's database.
class EnquiryEditor
{
public:
    // Add: (0, false, true); Edit: (id, false, true); View of a system record: (id, false,
    // false); Copy: (id, true, true). False with `error` when the IQ cannot be read.
    bool Open(int enquiryId, bool doCopy, bool isEditable, QString &error);

    EditorMode Mode() const;
    int EnquiryID() const { return FEnquiryID; } // 0 for Add and Copy
    int SourceID() const { return FSourceID; } // the row opened (Edit, View, Copy)
    bool IsEditable() const { return FIsEditable; }
    // The code and description the row had when opened, for captions and titles.
    const QString &StoredCode() const { return FStoredCode; }
    const QString &StoredDescription() const { return FStoredDescription; }

    EnquiryFields &Fields() { return FFields; }
    const EnquiryFields &Fields() const { return FFields; }
    const QString &SQLStatement() const { return FSQLStatement; }
    // The last discovery's error, "IQ Error: " and the reason; empty when it succeeded.
    const QString &Error() const { return FError; }
    std::vector<ParamEntry> &Params() { return FParams; }
    const std::vector<ParamEntry> &Params() const { return FParams; }
    std::vector<EditorColumn> &Columns() { return FColumns; }
    const std::vector<EditorColumn> &Columns() const { return FColumns; }

    // The SQL statement dialog was confirmed with `statement`. When it differs from the current
    // one (exact comparison), columns and parameters are rebuilt from it; true then.
    bool ChangeStatement(const QString &statement);
    // Rebuilds the column list from the statement: with `loadParam` every column is new and the
    // parameter list follows the statement; without, the stored settings of the opened IQ apply.
    // A failure is kept in Error().
    void RefreshQuery(bool loadParam);

    // OK's checks in their order; the first that fails, or nullopt.
    std::optional<EditorRefusal> ValidateInformation() const;

    // Writes the main row, the parameters and the columns in one transaction: a failure anywhere
    // leaves the stored definition as it was, and `error` says why. After the commit: the IQ
    // change message, the log line, and the result window's settings of the code are erased.
    bool SaveRecord(QString &error);
    int SavedID() const { return FSavedID; }

private:
    QString CheckCode(const QString &code) const;
    bool LoadRecord(Connection &payroll, QString &error);
    bool WriteRecord(Connection &payroll, int &id, QString &error) const;

    int FEnquiryID = 0;
    int FSourceID = 0;
    bool FDoCopyRecord = false;
    bool FIsEditable = true;
    QString FStoredCode;
    QString FStoredDescription;
    EnquiryFields FFields;
    QString FSQLStatement;
    QString FError;
    std::vector<ParamEntry> FParams;
    std::vector<EditorColumn> FColumns;
    int FSavedID = 0;
};

// The type an added IQ starts with: among the keys 1..n (n the number of types) the one named
// "Payroll", else key n; nullopt when there are no types.
std::optional<int> DefaultIQType(Connection &payroll);

// The message that stops the save while discovery failed.
inline constexpr const char *kStatementErrorsText
    = "There are errors in the SQL Statement. Statement can not be saved!";
