#pragma once

#include "app/common/SavedConnections.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// Adds, changes and removes the database pairs the sign-in dialog offers. OK saves the whole
// list (passwords taken out of connection strings); Cancel keeps the saved one.
class TfrmSavedConnections final : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSavedConnections(QWidget *parent = nullptr);

    const QList<SavedConnection> &Connections() const { return m_connections; }

private:
    void lstConnectionsChange();
    void btnAddClick();
    void btnRemoveClick();
    void btnOKClick();
    void editChanged();
    // A message for the first entry the sign-in could not use; empty when every one is usable.
    QString problem() const;

    QList<SavedConnection> m_connections;
    QListWidget *lstConnections;
    QLineEdit *edtName;
    QLineEdit *edtPayroll;
    QLineEdit *edtCommon;
    QCheckBox *chkAskPassword;
    QLabel *lblError;
    QPushButton *btnAdd;
    QPushButton *btnRemove;
    QPushButton *btnOK;
};
