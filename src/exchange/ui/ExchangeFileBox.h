#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// The exchange dialogs' file-name box: the name as typed (`edtFile`) and a browse button that
// picks an XML file, to save into or to open.
class ExchangeFileBox final : public QWidget
{
    Q_OBJECT
public:
    enum class Purpose { Save, Open };
    ExchangeFileBox(Purpose purpose, QWidget *parent);

    QLineEdit *Edit() const { return edtFile; }
    QString Text() const;

private:
    void btnBrowseClick();

    Purpose m_purpose;
    QLineEdit *edtFile;
    QToolButton *btnBrowse;
};
