#include "host/core/ClassRegistry.h"

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
    const QString key = name.toLower();
    if (name.isEmpty() || !factory || Registry().contains(key))
        return false;
    Registry().insert(key, { name, std::move(factory) });
    return true;
}

bool UnRegisterClass(const QString &name)
{
    return Registry().remove(name.toLower()) > 0;
}

PackageFactory FindClass(const QString &name)
{
    const auto found = Registry().constFind(name.toLower());
    return found == Registry().constEnd() ? PackageFactory() : found->factory;
}

QStringList RegisteredClasses()
{
    QStringList names;
    for (const Entry &entry : std::as_const(Registry()))
        names << entry.name;
    return names;
}
