#include "exchange/ui/ExchangeFileBox.h"

#include "host/ui/ModalDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

ExchangeFileBox::ExchangeFileBox(Purpose purpose, QWidget *parent)
    : QWidget(parent)
    , m_purpose(purpose)
{
    edtFile = new QLineEdit(QStringLiteral("c:\\IQSql.xml"), this);
    edtFile->setObjectName(QStringLiteral("edtFile"));
    btnBrowse = new QToolButton(this);
    btnBrowse->setObjectName(QStringLiteral("btnBrowse"));
    btnBrowse->setText(QStringLiteral("..."));
    btnBrowse->setToolTip(tr("Browse for the file"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edtFile, 1);
    layout->addWidget(btnBrowse);
    setFocusProxy(edtFile);
    connect(btnBrowse, &QToolButton::clicked, this, &ExchangeFileBox::btnBrowseClick);
}

QString ExchangeFileBox::Text() const
{
    return edtFile->text();
}

void ExchangeFileBox::btnBrowseClick()
{
    // Where the files of old were kept, when this machine has that folder.
    const QString start
        = QFileInfo(QStringLiteral("C:\\")).isDir() ? QStringLiteral("C:\\") : QDir::homePath();
    QFileDialog dialog(window(), QString(), start, tr("XML file (*.xml)"));
    dialog.setObjectName(QStringLiteral("dlgBrowseFile"));
    dialog.setHistory({ QStringLiteral("*.mif") });
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    if (m_purpose == Purpose::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The export asks its own question about an existing file when it closes.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (ExecModal(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        edtFile->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
    edtFile->setFocus();
}
