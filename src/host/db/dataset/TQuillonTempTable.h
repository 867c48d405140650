#pragma once

#include "host/db/dataset/TQuillonDataSet.h"

#include <vector>

class TQuillonTempTable;

// Makes `destination` hold exactly the records of `source` (those passing its filter, in
// order): its rows are replaced, fields are matched by name (a destination field the source
// lacks stays NULL) and, when the destination has no fields yet, they are created from the
// source's. False with the destination's LastError when a value does not fit its field; the
// destination is then empty. `option` is accepted for the callers and has no effect.
bool CopyTable(TQuillonDataSet &source, TQuillonTempTable &destination, bool option);

// An in-memory table with named, typed fields (parameter sets, field lists). Rows are edited
// through brAppend/brEdit/brPost/Delete and TField like any data set; the filter works.
class TQuillonTempTable : public TQuillonDataSet
{
    Q_OBJECT
public:
    explicit TQuillonTempTable(QObject *parent = nullptr);
    ~TQuillonTempTable() override;

    // While closed. `size` is the most characters a text field holds (0: no limit); a longer
    // value is refused when posted, never cut. False for a duplicate name or while open.
    bool AddField(const QString &name, FieldType type, int size = 0);
    bool ClearFields(); // while closed
    int FieldDefCount() const { return static_cast<int>(m_defs.size()); }
    int FieldSize(int index) const;

    bool CreateTable(); // a new empty table from the field definitions, opened
    bool Open(); // opens; creates the table when there is none
    bool EmptyTable(); // every row removed; stays open

protected:
    bool WriteRow(int row, const std::vector<QVariant> &values, std::vector<bool> &changed,
        int &newRow) override;
    bool RemoveRow(int row) override;

private:
    friend bool CopyTable(TQuillonDataSet &source, TQuillonTempTable &destination, bool option);

    struct FieldDef
    {
        QString name;
        FieldType type;
        int size;
    };

    std::vector<FieldDef> m_defs;
};
