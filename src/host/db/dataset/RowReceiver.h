#pragma once

#include "host/db/engine/Statement.h"

// Takes the rows of a statement as they are read: the load of a result keeps them by column, an
// export writes each one out and keeps none (TQuillonADOQuery::Stream).
class RowReceiver
{
public:
    virtual ~RowReceiver() = default;

    // The statement has taken its first step (to a row or to its end): its columns are known and
    // no row has been handed over yet. False stops the run.
    virtual bool Begin(const Statement &statement) = 0;
    // The statement's current row; its cells stay valid until this returns. False stops the run.
    virtual bool Row(const Statement &statement) = 0;
    // After Row: steps the statement on. A receiver that keeps the rows may take the ones that
    // follow in bulk here; it returns Row when the statement stands on a row for Row.
    virtual Statement::Step Next(Statement &statement) { return statement.step(); }
    // Whether an attempt that failed after Begin may start again, Begin included: a result held
    // in memory may, rows already written out may not.
    virtual bool MayRepeat() const = 0;
};
