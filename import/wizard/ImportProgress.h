#pragma once

#include "import/engine/ImportEngine.h"

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// The window that follows a running import: its state, the rows counted by
// what happened to them, the errors, the rows committed, the time spent and,
// when the source knows its row count, a bar. It is not modal: the import
// lets the interface handle its messages once per row, which is how Cancel
// reaches the engine. After the import its button becomes OK and closes it.
class ImportProgress : public QDialog
{
    Q_OBJECT

public:
    explicit ImportProgress(QWidget *parent = nullptr);

    // -- What the wizard tells it, in the order of an import ---------------
    // "Preparing...", the clock starts.
    void start();
    // "Importing..."; the bar counts up to total (hidden while total is 0).
    void beforeImport(int total);
    // A processed row, counted by its record state.
    void importRecord(ImportRecordState state);
    // A failed row; the bar steps.
    void importFailed();
    // A value that could not be converted (its row is counted on its own).
    void importErrorAdv();
    // The owner is asked to commit: what was written so far is committed.
    void needCommit();
    // A cancel request reached the engine: "Paused" and the question, No by
    // default. True to go on.
    bool askContinue();
    // The final answer to a cancel request ("Importing..." or "Aborted").
    void cancelAnswered(bool goOn);
    // The import ended: "Finished" unless aborted, the clock stops, the
    // button becomes OK.
    void afterImport(bool aborted);
    // What the owner made of an aborted import: the rows it took back and
    // those its intermediate commits keep ("Commited" then shows those).
    void showAbortOutcome(int discarded, int kept);

    bool started() const { return m_started; }
    bool isDone() const { return m_done; }

    // -- What it shows -------------------------------------------------------
    QString state() const;
    // The sum of the counters shown: a row that lost a value counts with
    // its row counter and once more among the errors.
    int processed() const { return m_inserted + m_updated + m_deleted + m_untouched + errors(); }
    int inserted() const { return m_inserted; }
    int updated() const { return m_updated; }
    int deleted() const { return m_deleted; }
    int errors() const { return m_failedRows + m_valueErrors; }
    int commited() const { return m_commited; }
    QString timeText() const;
    QString percent() const;
    // The outcome of an abort, empty until the owner told it.
    QString outcome() const;
    QPushButton *button() const { return m_button; }

signals:
    // Cancel was pressed (or the window closed) while the import runs.
    void cancelRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void setState(const QString &state);
    void step();
    void showCounts();
    void runClock(bool on);
    void tick();
    qint64 elapsedMs() const;

    QLabel *m_state;
    QLabel *m_processed;
    QLabel *m_insertedLabel;
    QLabel *m_updatedLabel;
    QLabel *m_deletedLabel;
    QLabel *m_errors;
    QLabel *m_commitedLabel;
    QLabel *m_time;
    QLabel *m_percent;
    QLabel *m_outcome;
    QProgressBar *m_bar;
    QPushButton *m_button;
    QTimer *m_clock;
    QElapsedTimer m_running; // valid while the clock runs
    qint64 m_spentMs = 0; // before the last pause

    bool m_started = false;
    bool m_done = false;
    int m_total = 0;
    int m_position = 0;
    int m_inserted = 0;
    int m_updated = 0;
    int m_deleted = 0;
    int m_untouched = 0; // rows with nothing done (no label)
    int m_failedRows = 0;
    int m_valueErrors = 0;
    int m_commited = 0;
};
