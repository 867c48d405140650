#include "chart/ui/TfrmIPEasyChartOptions.h"

#include "chart/ChartPalettes.h"
#include "host/core/Messages.h"
#include "host/core/TypeTables.h"
#include "host/ui/ModalDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmIPEasyChartOptions::TfrmIPEasyChartOptions(QWidget *parent)
    : TfrmQuillonDlgBase(parent)
{
    setObjectName(QStringLiteral("frmIPEasyChartOptions"));
    setWindowTitle(tr("IQ Chart Options"));
    resize(324, 300);
    auto *pnlMain = new QWidget(ClientPanel());
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    auto *grpOption = new QGroupBox(tr("Option"), pnlMain);
    grpOption->setObjectName(QStringLiteral("grpOption"));
    cbxXColumn = new QComboBox(grpOption);
    cbxXColumn->setObjectName(QStringLiteral("cbxXColumn"));
    chklstYColumn = new QListWidget(grpOption);
    chklstYColumn->setObjectName(QStringLiteral("chklstYColumn"));
    chklstYColumn->setMaximumHeight(90);
    // The ticked names as one text, as the list reports them.
    edtYText = new QLineEdit(grpOption);
    edtYText->setObjectName(QStringLiteral("edtYText"));
    edtYText->setReadOnly(true);
    edtYText->setFocusPolicy(Qt::NoFocus);
    cbxPalette = new QComboBox(grpOption);
    cbxPalette->setObjectName(QStringLiteral("cbxPalette"));
    edtTitle = new QLineEdit(grpOption);
    edtTitle->setObjectName(QStringLiteral("edtTitle"));
    edtTitle->setMaxLength(100);
    cbxChartType = new QComboBox(grpOption);
    cbxChartType->setObjectName(QStringLiteral("cbxChartType"));
    chkShowLegend = new QCheckBox(tr("Show Legend"), grpOption);
    chkShowLegend->setObjectName(QStringLiteral("chkShowLegend"));

    auto *form = new QFormLayout(grpOption);
    form->addRow(tr("X"), cbxXColumn);
    form->addRow(tr("Y"), chklstYColumn);
    form->addRow(QString(), edtYText);
    form->addRow(tr("Palette"), cbxPalette);
    form->addRow(tr("Title"), edtTitle);
    form->addRow(tr("Chart Type"), cbxChartType);
    form->addRow(QString(), chkShowLegend);
    auto *main = new QVBoxLayout(pnlMain);
    main->setContentsMargins(0, 0, 0, 0);
    main->addWidget(grpOption);
    auto *client = new QVBoxLayout(ClientPanel());
    client->setContentsMargins(0, 0, 0, 0);
    client->addWidget(pnlMain);

    connect(cbxXColumn, &QComboBox::currentTextChanged, this,
        &TfrmIPEasyChartOptions::cbxXColumnPropertiesEditValueChanged);
    connect(chklstYColumn, &QListWidget::itemChanged, this, &TfrmIPEasyChartOptions::ShowTickedY);
}

void TfrmIPEasyChartOptions::showEvent(QShowEvent *event)
{
    if (!FShown && !event->spontaneous()) {
        FShown = true;
        FormShow();
    }
    TfrmQuillonDlgBase::showEvent(event);
}

void TfrmIPEasyChartOptions::FormShow()
{
    const QSignalBlocker quiet(cbxXColumn);
    PrepareColumnList(true);
    cbxXColumn->setCurrentIndex(
        !FIPEasyX.isEmpty() && FIPColumn.contains(FIPEasyX) ? cbxXColumn->findText(FIPEasyX) : -1);
    cbxPalette->clear();
    const auto &palettes = ChartPalettes();
    cbxPalette->addItem(tr("Default"));
    for (std::size_t i = 1; i < palettes.size(); ++i)
        cbxPalette->addItem(palettes[i].name);
    cbxPalette->setCurrentIndex(FIPPalette < cbxPalette->count() ? FIPPalette : -1);
    cbxChartType->clear();
    cbxChartType->addItems(TChartTypeString());
    cbxChartType->setCurrentIndex(FIPChartType < cbxChartType->count() ? FIPChartType : -1);
    edtTitle->setText(FIPTitle);
    chkShowLegend->setChecked(FIPShowLegend);
    cbxXColumn->setFocus();
}

void TfrmIPEasyChartOptions::PrepareColumnList(bool Initial)
{
    const QStringList keep = Initial ? QStringList() : TickedY();
    const QSignalBlocker quiet(chklstYColumn);
    chklstYColumn->clear();
    for (const QString &name : FIPColumn.split(QLatin1Char(',')))
        AddItem(Initial, name, keep);
    ShowTickedY();
}

void TfrmIPEasyChartOptions::AddItem(bool Initial, const QString &Name, const QStringList &Keep)
{
    if (Initial)
        cbxXColumn->addItem(Name);
    if (Name == FIPEasyX)
        return;
    auto *item = new QListWidgetItem(Name, chklstYColumn);
    item->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    const bool ticked = Initial ? (QLatin1Char(',') + FIPEasyY + QLatin1Char(','))
                                      .contains(QLatin1Char(',') + Name + QLatin1Char(','))
                                : Keep.contains(Name, Qt::CaseInsensitive);
    item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

QStringList TfrmIPEasyChartOptions::TickedY() const
{
    QStringList names;
    for (int row = 0; row < chklstYColumn->count(); ++row)
        if (chklstYColumn->item(row)->checkState() == Qt::Checked)
            names << chklstYColumn->item(row)->text();
    return names;
}

void TfrmIPEasyChartOptions::ShowTickedY()
{
    edtYText->setText(TickedY().join(QLatin1Char(',')));
}

void TfrmIPEasyChartOptions::cbxXColumnPropertiesEditValueChanged()
{
    FIPEasyX = cbxXColumn->currentText();
    PrepareColumnList(false);
}

bool TfrmIPEasyChartOptions::CanClose()
{
    const QStringList ticked = TickedY();
    if (ticked.isEmpty()) {
        ErrMessage(tr("You must select at least one column for Y!"));
        chklstYColumn->setFocus();
        return false;
    }
    FIPPalette = cbxPalette->currentIndex();
    FIPTitle = edtTitle->text();
    FIPChartType = cbxChartType->currentIndex();
    FIPShowLegend = chkShowLegend->isChecked();
    FIPEasyX = cbxXColumn->currentText();
    FIPEasyY = ticked.join(QLatin1Char(','));
    return true;
}

bool DoIPEasyChartOptions(const QString &Column, QString &X, QString &Y, int &Palette,
    QString &Title, int &ChartType, bool &ShowLegend)
{
    TfrmIPEasyChartOptions dialog(ActiveHostWindow());
    dialog.SetIPEasyX(X);
    dialog.SetIPEasyY(Y);
    dialog.FIPColumn = Column;
    dialog.SetIPPalette(Palette);
    dialog.SetIPTitle(Title);
    dialog.SetIPChartType(ChartType);
    dialog.SetIPShowLegend(ShowLegend);
    if (ExecModal(dialog) != QDialog::Accepted)
        return false;
    X = dialog.IPEasyX();
    Y = dialog.IPEasyY();
    Palette = dialog.IPPalette();
    Title = dialog.IPTitle();
    ChartType = dialog.IPChartType();
    ShowLegend = dialog.IPShowLegend();
    return true;
}
