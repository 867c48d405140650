#pragma once

#include <QObject>

// The object behind QuillonControl(): turns message 5038 into deliveries to open windows.
class HostControl final : public QObject
{
    Q_OBJECT
public:
    explicit HostControl(QObject *parent);

protected:
    bool event(QEvent *event) override;

private:
    void deliverGlobalMessage(int handle);
};
