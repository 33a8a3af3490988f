#include "import/wizard/WizardPageParts.h"

#include "core/Conversion.h"
#include "core/Error.h"
#include "import/DataImportMessages.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
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
        throw DataImportError(ImportMsg::FileNameNotSpecified);
    if (!QFileInfo(fileName).isFile())
        throw DataImportError(ImportMsg::FileDoesNotExist, { fileName });
}

QHBoxLayout *CreateEncodingChoice(
    const QString &objectName, TTextEncoding current, QWidget *parent, QComboBox *&box, std::function<void(TTextEncoding)> chosen)
{
    box = new QComboBox(parent);
    box->setObjectName(objectName);
    for (int id : { ImportMsg::EncodingWindows1252, ImportMsg::EncodingUtf8, ImportMsg::EncodingOem850 })
        box->addItem(LoadMessage(id));
    box->setCurrentIndex(int(current));
    auto *label = new QLabel(LoadMessage(ImportMsg::Encoding), parent);
    label->setBuddy(box);
    QObject::connect(box, &QComboBox::activated, parent, [parent, chosen](int index) {
        TTextEncoding encoding = teWindows1252;
        if (!TextEncodingFromNumber(index, encoding))
            return;
        try {
            chosen(encoding);
        } catch (const Error &e) {
            MessageBox::error(parent, e.text());
        }
    });
    auto *row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(box);
    return row;
}
