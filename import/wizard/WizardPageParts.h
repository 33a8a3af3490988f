#pragma once

#include "import/engine/TextEncoding.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QWidget;
class TextLineReader;

// Pieces the wizard's steps and the source pages of its mapping step share.

// "Step n of 3" in bold, over each step after the first.
QLabel *CreateStepHeader(int step, QWidget *parent);
// A label that names buddy: its mnemonic and assistive tools reach the control.
QLabel *CreateBuddyLabel(const QString &text, QWidget *buddy, QWidget *parent);
QLineEdit *CreateLineEdit(const QString &objectName, QWidget *parent, int maxWidth = 0);
QCheckBox *CreateCheckBox(int messageId, const QString &objectName, QWidget *parent);
// A button that Enter in an edit does not press.
QPushButton *CreateButton(const QString &text, const QString &objectName, QWidget *parent);

// "Text (*.x)|*.x|All (*.*)|*.*" as the toolkit's file dialogs write it.
QString DialogFilter(const QString &filter);

// The list of destination columns with their mapping beside them (the
// text pages'): every column as wide as its widest text or heading, the
// numbers with room for five digits, and the list as wide as its columns.
void FitColumnsToContent(QTreeWidget *list);

// The pale panel across the top of a page that tells the operator what the
// mouse does there.
QLabel *CreateHintPanel(const QString &text, QWidget *parent);

// The text of a count edit (skipped lines, rows, columns) as a number: 0
// when it is not one, and for a negative one, which would skip nothing.
int ReadCount(const QString &text);

// The file a page is about to read: raises "File name is not specified" or
// "File %s does not exist" before any reader sees it.
void CheckSourceFile(const QString &fileName);

// A page that found nothing to import in its file raises "File %s holds no
// rows": the wizard stays on its first step with that message.
void RefuseEmptySource(const QString &fileName);
// Reads on from where a text page's preview stopped, as long as no line
// with anything on it was seen, and refuses a file that has none.
void RefuseBlankText(TextLineReader &reader, bool textSeen, const QString &fileName);
// Tells the operator which columns lost their mapping because the file does
// not have what they were mapped to (each entry "COLUMN (what)").
void TellMappingNotInSource(QWidget *parent, const QString &fileName, const QStringList &columns);

// The encoding choice of the text pages: its label and a list of the
// encodings in the order of their numbers, showing current. Choosing one
// calls chosen (which reads the file again); an error it raises is shown.
QHBoxLayout *CreateEncodingChoice(
    const QString &objectName, TextEncoding current, QWidget *parent, QComboBox *&box, std::function<void(TextEncoding)> chosen);

// The bar under a text page's preview, left to right: the page's buttons,
// the lines to skip ("edSkipLines") and the encoding choice.
struct TextPageBar
{
    QList<QPushButton *> buttons;
    int skipLinesText = 0;
    QString encodingName;
    TextEncoding encoding = teWindows1252;
    std::function<void(TextEncoding)> encodingChosen;
};
QHBoxLayout *CreateTextPageBar(const TextPageBar &bar, QWidget *parent, QLineEdit *&skipLines, QComboBox *&encoding);
