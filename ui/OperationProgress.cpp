#include "ui/OperationProgress.h"

#include <QApplication>
#include <QLocale>
#include <QProgressDialog>

OperationProgress::OperationProgress(QWidget *parent, const QString &caption)
    : m_dialog(std::make_unique<QProgressDialog>(parent))
{
    m_dialog->setObjectName(QStringLiteral("OperationProgress"));
    m_dialog->setWindowTitle(caption);
    m_dialog->setWindowModality(Qt::WindowModal);
    // A backup or a restore cannot be left half-done: no cancel button.
    m_dialog->setCancelButton(nullptr);
    m_dialog->setMinimumDuration(400);
    m_dialog->setMinimumWidth(420);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setRange(0, 0);
    m_dialog->setLabelText(caption);
}

OperationProgress::~OperationProgress()
{
    m_dialog->close();
}

Backup::ProgressCallback OperationProgress::callback()
{
    return [this](const Backup::Progress &p) { show(p); };
}

void OperationProgress::show(const Backup::Progress &p)
{
    QString text = p.text;
    if (p.total > 0) {
        const QLocale fr(QLocale::French);
        text += QStringLiteral("\n%1 / %2 lignes").arg(fr.toString(p.done), fr.toString(p.total));
        // A progress bar holds an int: large counts go in thousands.
        const qint64 unit = p.total > 1000000000 ? 1000 : 1;
        m_dialog->setRange(0, static_cast<int>(p.total / unit));
        m_dialog->setValue(static_cast<int>(std::min(p.done, p.total) / unit));
    } else {
        m_dialog->setRange(0, 0);
        m_dialog->setValue(0);
    }
    m_dialog->setLabelText(text);
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
