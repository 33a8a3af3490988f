#pragma once

#include "import/TextEncoding.h"

#include <QString>

#include <functional>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QWidget;

// Pieces every source page of the wizard's mapping step shares.

// The pale panel across the top of a page that tells the operator what the
// mouse does there.
QLabel *CreateHintPanel(const QString &text, QWidget *parent);

// The text of a count edit (skipped lines, rows, columns) as a number: 0
// when it is not one, and for a negative one, which would skip nothing.
int ReadCount(const QString &text);

// The file a page is about to read: raises "File name is not specified" or
// "File %s does not exist" before any reader sees it.
void CheckSourceFile(const QString &fileName);

// The encoding choice of the text pages: its label and a list of the
// encodings in the order of their numbers, showing current. Choosing one
// calls chosen (which reads the file again); an error it raises is shown.
QHBoxLayout *CreateEncodingChoice(
    const QString &objectName, TTextEncoding current, QWidget *parent, QComboBox *&box, std::function<void(TTextEncoding)> chosen);
