#pragma once

#include <QMessageBox>
#include <QString>

#include <optional>

class QWidget;

// Every question and message of the program goes through here, so that a
// test can answer in advance and read what the operator would have read.
namespace MessageBox {

QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
    QMessageBox::StandardButtons buttons = QMessageBox::Ok, QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// A failure of any layer, in that layer's words.
void error(QWidget *parent, const QString &text);
void information(QWidget *parent, const QString &text);
// "Confirmation" with Yes and No.
bool confirm(QWidget *parent, const QString &text, QMessageBox::StandardButton defaultButton = QMessageBox::Yes);

QString applicationCaption();

// For tests: the next boxes are answered with these buttons without being
// shown (NoButton: shown as usual); each box shown or answered is recorded.
void setNextAnswer(QMessageBox::StandardButton answer);
void setAutoAnswer(QMessageBox::StandardButton answer); // every box until cleared with NoButton
QMessageBox::StandardButton autoAnswer();
// For a question that is a window of its own rather than a box: the answer
// a test gave in advance (the next one, else the automatic one), if any. It
// is taken without being recorded as a box.
std::optional<QMessageBox::StandardButton> presetAnswer();
QString lastText();
QString lastCaption();
int count();
void resetRecord();

} // namespace MessageBox
