#include "import/wizard/WizardPageParts.h"

#include "core/Conversion.h"
#include "import/DataImportMessages.h"

#include <QFileInfo>
#include <QLabel>
#include <QPalette>

QLabel *CreateHintPanel(const QString &text, QWidget *parent)
{
    auto *hint = new QLabel(text, parent);
    hint->setObjectName(QStringLiteral("laHint"));
    hint->setWordWrap(true);
    hint->setFrameShape(QFrame::StyledPanel);
    hint->setMargin(6);
    hint->setAutoFillBackground(true);
    QPalette pal = hint->palette();
    pal.setColor(QPalette::Window, QColor(255, 255, 225));
    pal.setColor(QPalette::WindowText, QColor(40, 40, 40));
    hint->setPalette(pal);
    return hint;
}

int ReadCount(const QString &text)
{
    int n = 0;
    return tryStrToInt(text.trimmed(), n) && n > 0 ? n : 0;
}

void CheckSourceFile(const QString &fileName)
{
    if (fileName.trimmed().isEmpty())
        throw DataImportError(24050);
    if (!QFileInfo(fileName).isFile())
        throw DataImportError(24060, { fileName });
}
