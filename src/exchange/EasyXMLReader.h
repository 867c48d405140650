#pragma once

#include "exchange/ImportOutcome.h"

#include <QByteArray>
#include <QString>

class Connection;

// Files larger than this are refused before they are read.
inline constexpr qint64 kMaxSimpleXmlFileBytes = qint64(256) * 1024 * 1024;

// The text of a simple XML db file, as UTF-8 into `utf8`: the file is UTF-8 or UTF-16 when it
// begins with that byte-order mark (and then it must be valid in it), else Windows-1252. False
// with `error` otherwise. A file in UTF-8, or in ASCII, is handed on without a copy (pass it
// with std::move).
bool DecodeSimpleXmlFile(QByteArray bytes, QByteArray &utf8, QString &error);

// Imports every record block of the UTF-8 text `utf8` into the IQ tables in one transaction on
// `payroll`: a record whose code is longer than 10 characters or already exists is rejected (its
// log line is kept in the outcome) and the import goes on; any other fault (a broken or cut file,
// "<!" markup, a value its column cannot hold, a database error) rolls everything back and sets the
// outcome's error. With `dryRun` everything is read, checked and written, then rolled back.
ImportOutcome EasyDataSetFromXML(Connection &payroll, const QByteArray &utf8, bool dryRun = false);
