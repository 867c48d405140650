#pragma once

#include <QWidget>

#include <functional>

class QIcon;
class QListWidget;
class QListWidgetItem;
class TQuillonPackageInterface;

// A navigation page listing a package's objects with icon and caption. Double-click or Enter on
// an entry hands its class name to the open handler the host program sets. The page opens with
// the keyboard on its first entry.
class TfrmGroupManager : public QWidget
{
    Q_OBJECT
public:
    enum ViewStyle { vsList = 0, vsSmallIcons = 1, vsLargeIcons = 2, vsTiles = 3 };

    explicit TfrmGroupManager(QWidget *parent = nullptr);
    ~TfrmGroupManager() override;

    // The view style a page starts with.
    virtual int DefaultViewStyle() const { return vsList; }
    void SetViewStyle(int style);
    int CurrentViewStyle() const { return m_viewStyle; }

    // Lists the package's declared objects, leaving out navigation pages (such as this one).
    void LoadObjects(TQuillonPackageInterface &package);
    void AddObject(const QString &className, const QIcon &icon, const QString &caption);
    // The tooltip of the object's entry: what opening it shows.
    void SetObjectHint(const QString &className, const QString &hint);
    void SetOpenHandler(std::function<void(const QString &className)> handler)
    {
        m_openHandler = std::move(handler);
    }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void lvObjectsActivated(QListWidgetItem *item);

    QListWidget *lvObjects;
    std::function<void(const QString &)> m_openHandler;
    int m_viewStyle = -1; // none chosen yet: the default applies when first shown
};
