#pragma once

#include "host/ui/HostScript.h"

#include <QDialog>
#include <QFileDialog>
#include <QString>

// Answers the next file dialog of this name as a person would: the filter picked (when given),
// the path typed, then Save or Open.
inline void ChooseFile(
    HostScript &script, const QString &dialogName, const QString &path, const QString &filter = {})
{
    script.onModal(dialogName, [path, filter](QDialog &dialog) {
        auto &files = static_cast<QFileDialog &>(dialog);
        if (!filter.isEmpty())
            files.selectNameFilter(filter);
        files.selectFile(path);
        dialog.accept(); // QFileDialog::accept, through the public QDialog one
    });
}
