#include "host/ui/TfrmSystemSettings.h"

#include "host/core/Globals.h"
#include "host/core/HostContext.h"
#include "host/core/Messages.h"
#include "host/core/SqlExec.h"
#include "host/core/SystemValues.h"
#include "host/db/engine/Connection.h"
#include "host/ui/ModalDialogs.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {
enum Column { colName, colValue, colDescription, colCount };

struct KnownValue
{
    const char *name;
    const char *defaultValue;
    const char *description;
    QStringList choices; // empty: a whole number of 0 or more
};
// Values the program reads with a default; listed so that they can be set before first use.
const KnownValue kKnownValues[] = {
    { "IQ Report Timeout (Minutes)", "0",
        "Minutes an IQ report may run before it is stopped; 0 means no limit.", {} },
    { "IQ Report Retry Count", "1", "How many times an IQ report is tried before it fails.", {} },
    { "IQ Text Parameter Values", "quotes doubled",
        "How a text parameter value goes into an IQ statement: \"quotes doubled\" (a quote "
        "stays part of the value) or \"as typed\" (for IQs written to splice text in).",
        { QStringLiteral("quotes doubled"), QStringLiteral("as typed") } },
    { "Extended Logging", "0",
        "1: each run of the IQs IQB-EMP002 and IQB-EMP004 is also logged as \"IQ Executed\".",
        { QStringLiteral("0"), QStringLiteral("1") } },
    { "Hours Display", "0", "1: hours columns of IQ results show and take decimal hours.",
        { QStringLiteral("0"), QStringLiteral("1") } },
};

const KnownValue *FindKnown(const QString &name)
{
    const auto found = std::find_if(std::begin(kKnownValues), std::end(kKnownValues),
        [&](const KnownValue &known) { return name == QLatin1String(known.name); });
    return found == std::end(kKnownValues) ? nullptr : &*found;
}
}

TfrmSystemSettings::TfrmSystemSettings(QWidget *parent)
    : TfrmQuillonDlg(parent)
{
    setWindowTitle(tr("System Settings"));
    grdValues = new QTableWidget(0, colCount, ClientPanel());
    grdValues->setObjectName(QStringLiteral("grdValues"));
    grdValues->setHorizontalHeaderLabels({ tr("Name"), tr("Value"), tr("Description") });
    grdValues->setSelectionMode(QAbstractItemView::SingleSelection);
    grdValues->verticalHeader()->hide();
    grdValues->horizontalHeader()->setSectionResizeMode(colDescription, QHeaderView::Stretch);
    auto *layout = new QVBoxLayout(ClientPanel());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(grdValues);
    resize(700, 400);
}

bool TfrmSystemSettings::LoadValues()
{
    FRows.clear();
    grdValues->setRowCount(0);
    Connection *connection = CommonConnection();
    if (!connection) {
        ErrMessage(tr("System settings are not available: no common database is open."));
        return false;
    }
    DbError error;
    const bool ok = connection->forEachRow(
        "select cName, cValue, cDescription from _btblSystemValues order by cName", {},
        [&](const Statement &row) {
            FRows.push_back({ SqlExec::TextAt(row, 0), SqlExec::TextAt(row, 1),
                SqlExec::TextAt(row, 2), true });
            return true;
        },
        error);
    if (!ok) {
        ErrMessage(tr("The system settings could not be read.\r\n\r\n%1")
                       .arg(QString::fromStdString(error.text)));
        return false;
    }
    for (const KnownValue &known : kKnownValues) {
        const QString name = QString::fromLatin1(known.name);
        const bool present = std::any_of(
            FRows.begin(), FRows.end(), [&](const Row &row) { return row.name == name; });
        if (!present) {
            FRows.push_back({ name, QString::fromLatin1(known.defaultValue),
                QString::fromLatin1(known.description), false });
        }
    }
    grdValues->setRowCount(int(FRows.size()));
    for (int index = 0; index < int(FRows.size()); ++index) {
        const Row &row = FRows[index];
        auto *name = new QTableWidgetItem(row.name);
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        auto *description = new QTableWidgetItem(row.description);
        description->setFlags(description->flags() & ~Qt::ItemIsEditable);
        grdValues->setItem(index, colName, name);
        grdValues->setItem(index, colValue, new QTableWidgetItem(row.value));
        grdValues->setItem(index, colDescription, description);
    }
    grdValues->resizeColumnToContents(colName);
    return true;
}

QString TfrmSystemSettings::ValidateInput()
{
    for (int index = 0; index < int(FRows.size()); ++index) {
        const KnownValue *known = FindKnown(FRows[index].name);
        if (!known)
            continue;
        const QString value = grdValues->item(index, colValue)->text().trimmed();
        QString refusal;
        if (!known->choices.isEmpty()) {
            if (!known->choices.contains(value, Qt::CaseInsensitive))
                refusal = tr("The value of \"%1\" must be one of: %2.")
                              .arg(FRows[index].name, known->choices.join(QStringLiteral(", ")));
        } else {
            bool ok = false;
            const int number = value.toInt(&ok);
            if (!ok || number < 0)
                refusal = tr("The value of \"%1\" must be a whole number of 0 or more.")
                              .arg(FRows[index].name);
        }
        if (!refusal.isEmpty()) {
            grdValues->setCurrentCell(index, colValue);
            grdValues->setFocus();
            return refusal;
        }
    }
    return {};
}

bool TfrmSystemSettings::SaveValues()
{
    Connection *connection = CommonConnection();
    if (!connection)
        return false;
    Transaction transaction(*connection);
    QString error;
    bool ok = transaction.started();
    for (int index = 0; ok && index < int(FRows.size()); ++index) {
        const Row &row = FRows[index];
        const QString value = grdValues->item(index, colValue)->text().trimmed();
        if (value == row.value)
            continue; // unchanged, or a listed default left alone: nothing to store
        ok = WriteSystemValue(
            *connection, row.name, value, row.stored ? QString() : row.description, error);
    }
    if (ok)
        ok = transaction.commit();
    if (ok)
        LoadGeneralParameters();
    if (!ok) {
        if (error.isEmpty())
            error = QString::fromStdString(connection->lastError().text);
        ErrMessage(tr("The system settings could not be saved.\r\n\r\n%1").arg(error));
    }
    return ok;
}

bool TfrmSystemSettings::CanClose()
{
    const QString error = ValidateInput();
    if (!error.isEmpty()) {
        InfoMessage(error);
        return false;
    }
    return SaveValues();
}

bool DoSystemSettings()
{
    TfrmSystemSettings dlg(ActiveHostWindow());
    if (!dlg.LoadValues())
        return false;
    return ExecModal(dlg) == QDialog::Accepted;
}
