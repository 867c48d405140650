#pragma once

#include <QDialog>

struct ProgressState;
class QLabel;
class QProgressBar;

// The host's progress window: a message, a bar and an optional "n of m" line. Never modal and
// never takes the focus; repaints itself at once so long work still shows progress.
class TfrmProgress final : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmProgress(QWidget *parent);
    void ShowState(const ProgressState &state);

private:
    QLabel *lblMessage;
    QProgressBar *prbProgress;
    QLabel *lblCount;
};
