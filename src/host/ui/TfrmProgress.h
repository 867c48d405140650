#pragma once

#include <QDialog>

struct ProgressState;
class QLabel;
class QProgressBar;
class QPushButton;

// The host's progress window: a message, a bar, an optional "n of m" line and, for work that
// can stop, a Cancel. Without Cancel it is never modal and never takes the focus; with it, it
// is application modal and focused, so Escape or Space cancel and no other window changes the
// work under it. Repaints itself at once so long work still shows progress.
class TfrmProgress final : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmProgress(QWidget *parent);
    void ShowState(const ProgressState &state);

protected:
    void reject() override; // Escape and the close box cancel, when the work can stop

private:
    void btnCancelClick();

    QLabel *lblMessage;
    QProgressBar *prbProgress;
    QLabel *lblCount;
    QPushButton *btnCancel;
};
