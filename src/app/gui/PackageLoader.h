#pragma once

#include <QString>

#include <memory>

class QLibrary;
class TQuillonPackageInterface;

// Loads a package library at run time (its start-up registers its interface class) and creates
// the interface object by class name. Unloading removes the registration again.
class PackageLoader
{
public:
    PackageLoader();
    ~PackageLoader();

    bool Load(const QString &libraryPath, const QString &interfaceClass, QString &error);
    TQuillonPackageInterface *Interface() const { return m_interface.get(); }

private:
    std::unique_ptr<QLibrary> m_library;
    std::unique_ptr<TQuillonPackageInterface> m_interface;
};
