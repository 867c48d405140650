#pragma once

#include "host/ui/TfrmQuillonDlgBase.h"

#include <QStringList>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;

// What the chart window draws: X, the Y columns, palette, title, kind and legend. Touches
// neither the chart nor the database; DoIPEasyChartOptions hands the choices back.
class TfrmIPEasyChartOptions final : public TfrmQuillonDlgBase
{
    Q_OBJECT
public:
    explicit TfrmIPEasyChartOptions(QWidget *parent = nullptr);
    int GetCurrentHelpContext() const override { return 180110; }

    void SetIPEasyX(const QString &value) { FIPEasyX = value; }
    void SetIPEasyY(const QString &value) { FIPEasyY = value; }
    void SetIPPalette(int value) { FIPPalette = value; }
    void SetIPTitle(const QString &value) { FIPTitle = value; }
    void SetIPChartType(int value) { FIPChartType = value; }
    void SetIPShowLegend(bool value) { FIPShowLegend = value; }
    QString IPEasyX() const { return FIPEasyX; }
    QString IPEasyY() const { return FIPEasyY; }
    int IPPalette() const { return FIPPalette; }
    QString IPTitle() const { return FIPTitle; }
    int IPChartType() const { return FIPChartType; }
    bool IPShowLegend() const { return FIPShowLegend; }

    QString FIPColumn; // the columns that may be charted, assigned directly

protected:
    void showEvent(QShowEvent *event) override;
    bool CanClose() override;

private:
    void FormShow();
    void PrepareColumnList(bool Initial);
    void AddItem(bool Initial, const QString &Name, const QStringList &Keep);
    QStringList TickedY() const; // in list order
    void cbxXColumnPropertiesEditValueChanged();
    void ShowTickedY();

    QComboBox *cbxXColumn;
    QListWidget *chklstYColumn;
    QLineEdit *edtYText;
    QComboBox *cbxPalette;
    QLineEdit *edtTitle;
    QComboBox *cbxChartType;
    QCheckBox *chkShowLegend;
    QString FIPEasyX;
    QString FIPEasyY;
    int FIPPalette = 0;
    int FIPChartType = 0;
    bool FIPShowLegend = true;
    QString FIPTitle;
    bool FShown = false;
};

// True when confirmed; the in-out arguments then hold the choices, else they are untouched.
bool DoIPEasyChartOptions(const QString &Column, QString &X, QString &Y, int &Palette,
    QString &Title, int &ChartType, bool &ShowLegend);
