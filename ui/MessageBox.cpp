#include "ui/MessageBox.h"

#include <QApplication>
#include <QList>

namespace {
QList<QMessageBox::StandardButton> g_answers;
QMessageBox::StandardButton g_autoAnswer = QMessageBox::NoButton;
QString g_lastText;
QString g_lastCaption;
int g_count = 0;
} // namespace

namespace MessageBox {

QString applicationCaption()
{
    return QStringLiteral("Kestra");
}

QMessageBox::StandardButton show(QWidget *parent, QMessageBox::Icon icon, const QString &caption, const QString &text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton)
{
    g_lastText = text;
    g_lastCaption = caption;
    ++g_count;
    if (!g_answers.isEmpty())
        return g_answers.takeFirst();
    if (g_autoAnswer != QMessageBox::NoButton)
        return g_autoAnswer;
    QMessageBox box(icon, caption, text, buttons, parent);
    box.setObjectName(QStringLiteral("MessageBox"));
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

void error(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Critical, applicationCaption(), text);
}

void information(QWidget *parent, const QString &text)
{
    show(parent, QMessageBox::Information, applicationCaption(), text);
}

bool confirm(QWidget *parent, const QString &text, QMessageBox::StandardButton defaultButton)
{
    return show(parent, QMessageBox::Question, QStringLiteral("Confirmation"), text, QMessageBox::Yes | QMessageBox::No, defaultButton)
        == QMessageBox::Yes;
}

void setNextAnswer(QMessageBox::StandardButton answer)
{
    g_answers.append(answer);
}

void setAutoAnswer(QMessageBox::StandardButton answer)
{
    g_autoAnswer = answer;
}

QMessageBox::StandardButton autoAnswer()
{
    return g_autoAnswer;
}

std::optional<QMessageBox::StandardButton> presetAnswer()
{
    if (!g_answers.isEmpty())
        return g_answers.takeFirst();
    if (g_autoAnswer != QMessageBox::NoButton)
        return g_autoAnswer;
    return std::nullopt;
}

QString lastText()
{
    return g_lastText;
}

QString lastCaption()
{
    return g_lastCaption;
}

int count()
{
    return g_count;
}

void resetRecord()
{
    g_answers.clear();
    g_lastText.clear();
    g_lastCaption.clear();
    g_count = 0;
}

} // namespace MessageBox
