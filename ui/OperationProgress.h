#pragma once

#include "data/Backup.h"

#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

// A modal progress window for a long operation of the data layer (a backup,
// a restore), shown when it lasts; the operation calls it back on the one
// thread, which keeps the windows painted meanwhile.
class OperationProgress
{
public:
    OperationProgress(QWidget *parent, const QString &caption);
    ~OperationProgress();
    OperationProgress(const OperationProgress &) = delete;
    OperationProgress &operator=(const OperationProgress &) = delete;

    Backup::ProgressCallback callback();

private:
    void show(const Backup::Progress &progress);

    std::unique_ptr<QProgressDialog> m_dialog;
};
