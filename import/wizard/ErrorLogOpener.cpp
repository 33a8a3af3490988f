#include "import/wizard/ErrorLogOpener.h"

#include "import/engine/ImportMessages.h"
#include "ui/MessageBox.h"

#include <QPointer>
#include <QProcess>
#include <QWidget>

void OpenErrorLog(const QString &path, QWidget *parent)
{
    // Owned by nobody but itself: closing the wizard must not stop it.
    auto *opener = new QProcess;
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({ path });
    opener->setStandardOutputFile(QProcess::nullDevice());
    opener->setStandardErrorFile(QProcess::nullDevice());
    const QPointer<QWidget> over(parent);
    auto tell = [over, path] { MessageBox::information(over.data(), trFormatMessage(ImportMsg::ErrorLogNotShown, { path })); };
    QObject::connect(opener, &QProcess::errorOccurred, opener, [opener, tell](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        opener->deleteLater();
        tell();
    });
    QObject::connect(opener, &QProcess::finished, opener, [opener, tell](int exitCode, QProcess::ExitStatus status) {
        opener->deleteLater();
        if (status != QProcess::NormalExit || exitCode != 0)
            tell();
    });
    opener->start();
}
