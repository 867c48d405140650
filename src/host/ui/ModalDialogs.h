#pragma once

class QDialog;
class QWidget;

// Runs a dialog modally through the UI delegate (a person or a test script answers) and returns
// its result (QDialog::Accepted / Rejected).
int ExecModal(QDialog &dialog);
// The window new dialogs and messages belong to: the innermost modal dialog, else the active
// window, else the most recently opened host window.
QWidget *ActiveHostWindow();
