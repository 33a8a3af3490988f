#include "app/Calculator.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace Calculator {

const QStringList &knownPrograms()
{
    static const QStringList programs = { QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"), QStringLiteral("galculator"),
        QStringLiteral("mate-calc"), QStringLiteral("qalculate-gtk"), QStringLiteral("qalculate-qt"), QStringLiteral("xcalc") };
    return programs;
}

QString find()
{
    const QFileInfo beside(QDir::current().absoluteFilePath(QStringLiteral("../Source/Calc")));
    if (beside.exists())
        return beside.absoluteFilePath();
    for (const QString &program : knownPrograms()) {
        const QString path = QStandardPaths::findExecutable(program);
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

} // namespace Calculator
