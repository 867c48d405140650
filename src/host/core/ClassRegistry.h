#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class TQuillonPackageInterface;

using PackageFactory = std::function<TQuillonPackageInterface *()>;

// The process-wide registry through which a loaded package makes its interface class known to
// the host. Names compare without regard to letter case.
bool RegisterClass(const QString &name, PackageFactory factory); // false when already there
bool UnRegisterClass(const QString &name); // false when not there
PackageFactory FindClass(const QString &name); // empty when not there
QStringList RegisteredClasses();
