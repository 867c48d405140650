#include "host/core/ClassRegistry.h"

#include "host/db/engine/NameFold.h"

#include <QMap>
#include <QStringList>

namespace {
struct Entry
{
    QString name;
    PackageFactory factory;
};

QMap<QString, Entry> &Registry()
{
    static QMap<QString, Entry> registry;
    return registry;
}
}

bool RegisterClass(const QString &name, PackageFactory factory)
{
    const QString key = NameFold::fold(name);
    if (name.isEmpty() || !factory || Registry().contains(key))
        return false;
    Registry().insert(key, { name, std::move(factory) });
    return true;
}

bool UnRegisterClass(const QString &name)
{
    return Registry().remove(NameFold::fold(name)) > 0;
}

PackageFactory FindClass(const QString &name)
{
    const auto found = Registry().constFind(NameFold::fold(name));
    return found == Registry().constEnd() ? PackageFactory() : found->factory;
}

QStringList RegisteredClasses()
{
    QStringList names;
    for (const Entry &entry : std::as_const(Registry()))
        names << entry.name;
    return names;
}
