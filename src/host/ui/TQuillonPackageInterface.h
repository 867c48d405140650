#pragma once

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QSet>
#include <QString>

#include <functional>
#include <vector>

struct QMetaObject;

// One object a package offers to the host's navigation.
struct TObjectClassEntry
{
    QSet<int> modules; // host modules (ordinals 0 to 40) the object belongs to
    QString className;
    const QMetaObject *classRef = nullptr;
    QString iconName;
    quint16 options = 0;
    QString caption;
    int color = 0; // the entry's colour value, as the package gives it
    int extra = 0;
};

// The host's view of a loaded package: what objects it offers, their icons, and the messages it
// answers without a window of its own.
class TQuillonPackageInterface : public QObject
{
    Q_OBJECT
public:
    explicit TQuillonPackageInterface(QObject *parent = nullptr);
    ~TQuillonPackageInterface() override;

    // The base starts an empty list; packages then add their objects with AddObjectClass.
    virtual void GetObjectClassList();
    // Loads the icon of every declared object into the icon cache.
    virtual void LoadDefaultIcons();
    // The icon `name` at `size` pixels; variant 1 asks for the tile variant ("NAME_TILE").
    // Icons are resources ":/icons/NAME.svg" or ":/icons/NAME.png". Null when there is none.
    virtual QIcon QueryObjectIcon(int size, const QString &name, int variant);
    // A host message for the package. The base handles only what its filter accepts and leaves
    // `handled` as it is otherwise.
    virtual void NonVisiblePkgMessage(int message, qint64 param1, qint64 param2, bool &handled);
    virtual void RegisterToolbarItems(QObject *barOwner, QObject *barManager);

    const std::vector<TObjectClassEntry> &ObjectClasses() const { return m_classes; }
    // Makes the base class handle the messages for which `filter` returns true.
    void SetBaseMessageFilter(std::function<bool(int message, qint64 param1, qint64 param2)> filter)
    {
        m_baseFilter = std::move(filter);
    }

protected:
    void AddObjectClass(const QSet<int> &modules, const QString &className,
        const QMetaObject *classRef, const QString &iconName, quint16 options,
        const QString &caption, int value7, int value8);
    // Whether the base handles a message itself; by default, what the filter says.
    virtual bool BaseHandlesMessage(int message, qint64 param1, qint64 param2);

private:
    std::vector<TObjectClassEntry> m_classes;
    QHash<QString, QIcon> m_icons;
    std::function<bool(int, qint64, qint64)> m_baseFilter;
};
