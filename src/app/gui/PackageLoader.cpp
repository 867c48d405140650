#include "app/gui/PackageLoader.h"

#include "host/core/ClassRegistry.h"
#include "host/ui/TQuillonPackageInterface.h"

#include <QLibrary>

PackageLoader::PackageLoader() = default;

PackageLoader::~PackageLoader()
{
    m_interface.reset(); // its code lives in the library
    if (m_library)
        m_library->unload();
}

bool PackageLoader::Load(const QString &libraryPath, const QString &interfaceClass, QString &error)
{
    m_library = std::make_unique<QLibrary>(libraryPath);
    if (!m_library->load()) {
        error = QStringLiteral("Cannot load the package %1: %2")
                    .arg(libraryPath, m_library->errorString());
        return false;
    }
    const PackageFactory factory = FindClass(interfaceClass);
    if (factory)
        m_interface.reset(factory());
    if (!m_interface) {
        error = QStringLiteral("The package %1 did not register %2.")
                    .arg(libraryPath, interfaceClass);
        return false;
    }
    m_interface->GetObjectClassList();
    return true;
}
