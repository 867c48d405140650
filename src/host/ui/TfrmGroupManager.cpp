#include "host/ui/TfrmGroupManager.h"

#include "host/ui/TQuillonPackageInterface.h"

#include <QListWidget>
#include <QVBoxLayout>

TfrmGroupManager::TfrmGroupManager(QWidget *parent)
    : QWidget(parent)
{
    lvObjects = new QListWidget(this);
    lvObjects->setObjectName(QStringLiteral("lvObjects"));
    lvObjects->setSelectionMode(QAbstractItemView::SingleSelection);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lvObjects);
    resize(617, 335);
    // Activation is Enter or double-click, as the platform defines it.
    connect(lvObjects, &QListWidget::itemActivated, this, &TfrmGroupManager::lvObjectsActivated);
}

TfrmGroupManager::~TfrmGroupManager() = default;

void TfrmGroupManager::SetViewStyle(int style)
{
    m_viewStyle = style;
    const bool icons = style == vsSmallIcons || style == vsLargeIcons;
    const int size = (style == vsLargeIcons || style == vsTiles) ? 32 : 16;
    lvObjects->setViewMode(icons ? QListView::IconMode : QListView::ListMode);
    lvObjects->setIconSize(QSize(size, size));
    lvObjects->setFlow(icons ? QListView::LeftToRight : QListView::TopToBottom);
    lvObjects->setWrapping(icons);
    lvObjects->setResizeMode(QListView::Adjust);
    lvObjects->setMovement(QListView::Static);
    lvObjects->setWordWrap(icons);
}

void TfrmGroupManager::LoadObjects(TQuillonPackageInterface &package)
{
    lvObjects->clear();
    for (const TObjectClassEntry &entry : package.ObjectClasses()) {
        if (entry.classRef && entry.classRef->inherits(&TfrmGroupManager::staticMetaObject))
            continue;
        const int tile = (m_viewStyle < 0 ? DefaultViewStyle() : m_viewStyle) == vsTiles ? 1 : 0;
        QIcon icon = package.QueryObjectIcon(32, entry.iconName, tile);
        if (icon.isNull())
            icon = package.QueryObjectIcon(32, entry.iconName, 0);
        AddObject(entry.className, icon, entry.caption);
    }
}

void TfrmGroupManager::AddObject(
    const QString &className, const QIcon &icon, const QString &caption)
{
    auto *item = new QListWidgetItem(icon, caption.isEmpty() ? className : caption, lvObjects);
    item->setData(Qt::UserRole, className);
}

void TfrmGroupManager::SetObjectHint(const QString &className, const QString &hint)
{
    for (int row = 0; row < lvObjects->count(); ++row) {
        QListWidgetItem *item = lvObjects->item(row);
        if (item->data(Qt::UserRole).toString() == className) {
            item->setToolTip(hint);
            item->setStatusTip(hint);
        }
    }
}

void TfrmGroupManager::showEvent(QShowEvent *event)
{
    if (m_viewStyle < 0)
        SetViewStyle(DefaultViewStyle());
    if (!lvObjects->currentItem() && lvObjects->count() > 0)
        lvObjects->setCurrentRow(0);
    lvObjects->setFocus();
    QWidget::showEvent(event);
}

void TfrmGroupManager::lvObjectsActivated(QListWidgetItem *item)
{
    if (item && m_openHandler)
        m_openHandler(item->data(Qt::UserRole).toString());
}
