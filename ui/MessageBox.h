#pragma once

#include <QMessageBox>
#include <QString>

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
QString lastText();
QString lastCaption();
int count();
void resetRecord();

} // namespace MessageBox
