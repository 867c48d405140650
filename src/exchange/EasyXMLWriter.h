#pragma once

#include <QByteArray>
#include <QString>

#include <string>
#include <vector>

class Connection;

// The simple XML db file of IQ definitions. `EasyXMLFromDataSet` writes the file text of the IQs
// with these ids, in this order (an id that no longer exists is left out), or of every IQ in id
// order when `all` is set: the two header lines, a record block per IQ (its fields in the
// table's column order, then its column blocks, then its parameter blocks), the closing line,
// each line ended by CR LF; `text` is UTF-8. False with `error` when the database cannot be read.
bool EasyXMLFromDataSet(
    Connection &payroll, bool all, const std::vector<int> &ids, std::string &text, QString &error);

// The file's bytes: Windows-1252 without a byte-order mark, or UTF-8 with one when the text
// holds a character that code page lacks (rather than change it). Pass the text with std::move:
// a file in ASCII is the text itself.
std::string EncodeSimpleXmlFile(std::string utf8);
