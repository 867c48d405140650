#include "host/ui/TQuillonPackageInterface.h"

#include <QFile>

TQuillonPackageInterface::TQuillonPackageInterface(QObject *parent)
    : QObject(parent)
{
}

TQuillonPackageInterface::~TQuillonPackageInterface() = default;

void TQuillonPackageInterface::GetObjectClassList()
{
    m_classes.clear(); // asking twice must not list everything twice
}

void TQuillonPackageInterface::LoadDefaultIcons()
{
    for (const TObjectClassEntry &entry : m_classes) {
        if (!entry.iconName.isEmpty())
            QueryObjectIcon(16, entry.iconName, 0);
    }
}

QIcon TQuillonPackageInterface::QueryObjectIcon(int size, const QString &name, int variant)
{
    const QString resource = variant == 1 ? name + QStringLiteral("_TILE") : name;
    auto cached = m_icons.constFind(resource);
    if (cached == m_icons.constEnd()) {
        QIcon icon;
        for (const char *suffix : { ".svg", ".png" }) {
            const QString path = QStringLiteral(":/icons/") + resource + QLatin1String(suffix);
            if (QFile::exists(path)) {
                icon = QIcon(path);
                break;
            }
        }
        cached = m_icons.insert(resource, icon);
    }
    Q_UNUSED(size); // QIcon renders every size from one source
    return *cached;
}

void TQuillonPackageInterface::NonVisiblePkgMessage(
    int message, qint64 param1, qint64 param2, bool &handled)
{
    if (!handled && BaseHandlesMessage(message, param1, param2))
        handled = true;
}

void TQuillonPackageInterface::RegisterToolbarItems(QObject *, QObject *) { }

void TQuillonPackageInterface::AddObjectClass(const QSet<int> &modules, const QString &className,
    const QMetaObject *classRef, const QString &iconName, quint16 options, const QString &caption,
    int value7, int value8)
{
    m_classes.push_back(
        { modules, className, classRef, iconName, options, caption, value7, value8 });
}

bool TQuillonPackageInterface::BaseHandlesMessage(int message, qint64 param1, qint64 param2)
{
    return m_baseFilter && m_baseFilter(message, param1, param2);
}
