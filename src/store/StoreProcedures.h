#pragma once

#include "host/db/engine/DbError.h"

class Connection;
class ProcParams;

// Registers the store's procedures with TQuillonADOStoredProc: _ipspDeleteEasyEnquiry.
// Safe to call more than once.
void RegisterStoreProcedures();

// _ipspDeleteEasyEnquiry: deletes the IQ "@EasyEnquiryID" with its parameter rows, column rows
// and notes, all or nothing. A NULL or unknown id deletes nothing and still succeeds, as the
// DELETE statements would. Returns 0.
bool DeleteEasyEnquiry(
    Connection &connection, const ProcParams &params, int &returnValue, DbError &error);
