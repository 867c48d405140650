#pragma once

#include <QByteArray>
#include <QString>

#include <map>
#include <string>

// The entries of a zip file (an .xlsx), inflated; empty when the file is not a zip.
std::map<std::string, QByteArray> ReadZipEntries(const QString &path);
