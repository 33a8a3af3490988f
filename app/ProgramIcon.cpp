#include "app/ProgramIcon.h"

#include <QDirIterator>

QIcon programIcon()
{
    QIcon icon;
    // One file per size: ":/kestra/16x16/kestra.png", ...
    QDirIterator sizes(QStringLiteral(":/kestra"), QDir::Dirs | QDir::NoDotAndDotDot);
    while (sizes.hasNext())
        icon.addFile(sizes.next() + QStringLiteral("/kestra.png"));
    return icon;
}
