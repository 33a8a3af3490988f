#include "import/wizard/ImportProgress.h"

#include "import/engine/ImportMessages.h"
#include "ui/MessageBox.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>

ImportProgress::ImportProgress(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ImportProgress"));
    setWindowTitle(tr("Importing..."));
    setModal(false);

    auto value = [this](const QString &name) {
        auto *label = new QLabel(QStringLiteral("0"), this);
        label->setObjectName(name);
        label->setMinimumWidth(150);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return label;
    };
    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("laState"));
    m_processed = value(QStringLiteral("laProcessed"));
    m_insertedLabel = value(QStringLiteral("laInserted"));
    m_updatedLabel = value(QStringLiteral("laUpdated"));
    m_deletedLabel = value(QStringLiteral("laDeleted"));
    m_errors = value(QStringLiteral("laErrors"));
    m_commitedLabel = value(QStringLiteral("laCommited"));
    m_time = value(QStringLiteral("laTime"));
    m_time->setText(QStringLiteral("0:00:00"));
    m_state->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    form->addRow(tr("Status"), m_state);
    form->addRow(tr("Processed"), m_processed);
    form->addRow(tr("Inserted"), m_insertedLabel);
    form->addRow(tr("Updated"), m_updatedLabel);
    form->addRow(tr("Deleted"), m_deletedLabel);
    form->addRow(tr("Errors"), m_errors);
    form->addRow(tr("Commited"), m_commitedLabel);
    form->addRow(tr("Time"), m_time);

    m_percent = new QLabel(this);
    m_percent->setObjectName(QStringLiteral("laPercent"));
    m_percent->setAlignment(Qt::AlignCenter);
    m_outcome = new QLabel(this);
    m_outcome->setObjectName(QStringLiteral("laOutcome"));
    m_outcome->setAlignment(Qt::AlignCenter);
    m_outcome->hide();
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("pbProgress"));
    m_bar->setTextVisible(false);
    m_bar->setRange(0, 0);
    m_percent->hide();
    m_bar->hide();

    m_button = new QPushButton(tr("Cancel"), this);
    m_button->setObjectName(QStringLiteral("bCancel"));
    m_button->setAutoDefault(false);
    connect(m_button, &QPushButton::clicked, this, [this] {
        if (m_done)
            accept();
        else
            emit cancelRequested();
    });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_button);
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_outcome);
    layout->addWidget(m_percent);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &ImportProgress::tick);
}

void ImportProgress::start()
{
    setState(tr("Preparing..."));
    runClock(true);
}

void ImportProgress::beforeImport(int total)
{
    m_started = true;
    m_total = std::max(total, 0);
    m_position = 0;
    m_bar->setRange(0, std::max(m_total, 1));
    m_bar->setValue(0);
    m_bar->setVisible(m_total > 0);
    m_percent->setVisible(m_total > 0);
    m_percent->setText(QStringLiteral("0%"));
    setState(tr("Importing..."));
    runClock(true);
}

void ImportProgress::importRecord(ImportRecordState state)
{
    switch (state) {
    case rsAdded:
        ++m_inserted;
        break;
    case rsEditing:
        ++m_updated;
        break;
    case rsDeleted:
        ++m_deleted;
        break;
    case rsNone:
        ++m_untouched;
        break;
    }
    step();
}

void ImportProgress::importFailed()
{
    ++m_failedRows;
    step();
}

void ImportProgress::importErrorAdv()
{
    // Counted as an error, not as a row: its row is counted when processed.
    ++m_valueErrors;
    showCounts();
}

void ImportProgress::needCommit()
{
    m_commited = m_inserted + m_updated + m_deleted;
    showCounts();
}

bool ImportProgress::askContinue()
{
    runClock(false);
    setState(tr("Paused"));
    const auto answer = MessageBox::show(this, QMessageBox::Question, trMessage(ImportMsg::AbortCaption),
        trMessage(ImportMsg::AbortQuestion), QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer != QMessageBox::Yes;
}

void ImportProgress::cancelAnswered(bool goOn)
{
    if (goOn) {
        setState(tr("Importing..."));
        runClock(true);
    } else {
        setState(tr("Aborted"));
    }
}

void ImportProgress::afterImport(bool aborted)
{
    m_started = true;
    m_done = true;
    runClock(false);
    tick();
    if (!aborted)
        setState(tr("Finished"));
    setWindowTitle(tr("Import finished"));
    m_button->setText(tr("OK"));
    // Enter closes the finished dialog; while the import ran it cancelled nothing.
    m_button->setDefault(true);
    m_button->setFocus();
}

void ImportProgress::showAbortOutcome(int discarded, int kept)
{
    m_commited = kept;
    showCounts();
    m_outcome->setText(trFormatMessage(ImportMsg::AbortOutcome, { QString::number(discarded), QString::number(kept) }));
    m_outcome->show();
}

QString ImportProgress::outcome() const
{
    return m_outcome->isVisibleTo(this) ? m_outcome->text() : QString();
}

QString ImportProgress::state() const
{
    return m_state->text();
}

QString ImportProgress::timeText() const
{
    return m_time->text();
}

QString ImportProgress::percent() const
{
    return m_percent->isVisibleTo(this) ? m_percent->text() : QString();
}

void ImportProgress::closeEvent(QCloseEvent *event)
{
    // Closing a running import's window asks to cancel it instead.
    if (!m_done) {
        event->ignore();
        emit cancelRequested();
        return;
    }
    QDialog::closeEvent(event);
}

void ImportProgress::reject()
{
    if (!m_done) {
        emit cancelRequested();
        return;
    }
    QDialog::reject();
}

void ImportProgress::setState(const QString &state)
{
    m_state->setText(state);
}

void ImportProgress::step()
{
    ++m_position;
    if (m_total > 0) {
        m_bar->setValue(std::min(m_position, m_total));
        m_percent->setText(QString::number(std::lround(double(m_position) * 100.0 / m_total)) + QLatin1Char('%'));
    }
    showCounts();
}

void ImportProgress::showCounts()
{
    m_processed->setText(QString::number(processed()));
    m_insertedLabel->setText(QString::number(m_inserted));
    m_updatedLabel->setText(QString::number(m_updated));
    m_deletedLabel->setText(QString::number(m_deleted));
    m_errors->setText(QString::number(errors()));
    m_commitedLabel->setText(QString::number(m_commited));
}

void ImportProgress::runClock(bool on)
{
    if (on && !m_running.isValid()) {
        m_running.start();
        m_clock->start();
    } else if (!on && m_running.isValid()) {
        m_spentMs += m_running.elapsed();
        m_running.invalidate();
        m_clock->stop();
    }
}

qint64 ImportProgress::elapsedMs() const
{
    return m_spentMs + (m_running.isValid() ? m_running.elapsed() : 0);
}

void ImportProgress::tick()
{
    const qint64 seconds = elapsedMs() / 1000;
    m_time->setText(QStringLiteral("%1:%2:%3")
                        .arg(seconds / 3600)
                        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                        .arg(seconds % 60, 2, 10, QLatin1Char('0')));
}
