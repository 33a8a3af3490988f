#pragma once

#include "core/WorkingContext.h"
#include "data/Query.h"
#include "declaration/DeclarationChecks.h"
#include "declaration/DeclarationFile.h"
#include "declaration/DeclarationFormat.h"

class Connection;

// What one reading of a quarter gave: the records' totals and what the
// checks found in exactly those records.
struct DeclarationPass
{
    QString path; // the file's path, the directory as typed
    QString shownPath; // the same with the directory trimmed
    DeclarationFormat::Totals totals;
    QVector<DeclarationChecks::Anomaly> anomalies;
    int errorCount = 0;
    int warningCount = 0;
};

// Writes the declaration of the working company and year for one quarter,
// record by record as the invoices are read, and checks each record as it
// goes. The file is whole or absent: written without a name, it is put
// under its name by commit() only (an earlier file of that name is kept
// beside it), and each commit is recorded in the declaration history. The
// query is the window's own: its quarter parameter keeps its value from one
// generation to the next when the quarter text is not one of "T1".."T4".
class DeclarationGeneration
{
public:
    explicit DeclarationGeneration(Connection &connection);

    static inline const QString QueryText = QStringLiteral(
        "select * from FACTURE\n\nWHERE IDENTIfiANT=:id   and trimestre=:trm and exercice=:exercice\norder by numeroordre");
    // The invoice numbers of the company's year in its three other
    // quarters; the quarter's own are counted as its invoices are read. One
    // range of the key per quarter (the server reads an IN list as the whole
    // year): a company whose invoices are all in one quarter reads nothing more.
    static inline const QString OtherNumbersText = QStringLiteral(
        "select trim(NUMEROFACTURE) from FACTURE where IDENTIFIANT = :id and EXERCICE = :exercice and TRIMESTRE = :q1 "
        "and trim(NUMEROFACTURE) <> ''\n"
        "union all select trim(NUMEROFACTURE) from FACTURE where IDENTIFIANT = :id and EXERCICE = :exercice and TRIMESTRE = :q2 "
        "and trim(NUMEROFACTURE) <> ''\n"
        "union all select trim(NUMEROFACTURE) from FACTURE where IDENTIFIANT = :id and EXERCICE = :exercice and TRIMESTRE = :q3 "
        "and trim(NUMEROFACTURE) <> ''");

    // The path the file is written to: the directory as typed.
    static QString filePath(const QString &directoryText, const QString &quarterText, const QString &exercice);

    // Writes the quarter's file, still without its name, and checks it.
    // Throws Error with the failing step's text; nothing is left then.
    const DeclarationPass &prepare(const QString &directoryText, const QString &quarterText, const WorkingContext &context);
    // The checks alone: the same reading, nothing written.
    const DeclarationPass &check(const QString &quarterText, const WorkingContext &context);
    // Puts the prepared file under its name and records it in the history.
    // Throws Error when the file cannot be put there (the earlier one then
    // stays as it was); a history that cannot be written does not undo the
    // file: historyError() says so.
    void commit();
    // Drops the prepared file.
    void discard();

    // prepare() and commit(): writes the file whatever the checks found;
    // returns its path with the directory trimmed.
    QString generate(const QString &directoryText, const QString &quarterText, const WorkingContext &context);

    const DeclarationPass &lastPass() const { return m_pass; }
    // After commit(): the file's SHA-256 (hexadecimal), the name the earlier
    // file was kept under (empty when there was none), and why the history
    // could not record it (empty when it did).
    const QByteArray &sha256() const { return m_sha256; }
    const QString &keptAs() const { return m_keptAs; }
    const QString &historyError() const { return m_historyError; }

    Query &query() { return m_query; }

private:
    void read(DeclarationFile *file, const QString &quarterText, const WorkingContext &context);

    Query m_query;
    DeclarationFile m_file;
    DeclarationPass m_pass;
    WorkingContext m_context;
    QString m_quarterText;
    int m_year = 0;
    QByteArray m_sha256;
    QString m_keptAs;
    QString m_historyError;
};
