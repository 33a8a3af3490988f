#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class Connection;
class DataSet;
class Error;

// An invoice import and the stamping that follows it, made durable together
// or not at all.
//
// While the import runs, every row it adds to the invoice table takes a key
// of its own, whatever the source or the field formats give: a placeholder
// company unique to this import, year and quarter 0 and a running number.
// Nothing is committed meanwhile, whatever commit rhythm the import asks for.
// Finish then gives those rows the working company, the year, the quarter of
// their invoice date and order numbers that continue the company's numbering
// of that year, in the order the import added them, and commits the import
// and its stamping at once. A process that dies before leaves nothing behind:
// the server discards what was never committed, and the same import can run
// again. A row the import changed rather than added keeps its key; every
// other row, of this company or of any other, is left as it is.
//
// Usage: construct, Begin before the import, Finish after it.
class InvoiceStamping
{
public:
    // Raises "'%s' is not a valid integer value" for a year that is not an
    // integer (no company chosen): then nothing is imported at all.
    InvoiceStamping(Connection &connection, const QString &matricule, const QString &exercice);
    // Undoes an import that was begun and not finished.
    ~InvoiceStamping();
    InvoiceStamping(const InvoiceStamping &) = delete;
    InvoiceStamping &operator=(const InvoiceStamping &) = delete;

    // Marks where the import starts in the shared transaction and gives the
    // destination's new rows their placeholder keys until Finish.
    void begin(DataSet &destination);
    // Between Begin and Finish: the import's commits wait for the stamping.
    bool running() const { return m_destination != nullptr; }
    // After the import, whatever ended it: stamps the rows it added and
    // commits them with the rest of its work (commit-retaining). Returns the
    // number of rows stamped. A failure undoes the whole import and is raised.
    int finish();
    // Undoes everything the import did since Begin.
    void abandon();

    const QString &placeholderIdentifiant() const { return m_placeholder; }

    // The columns an imported invoice cannot go without: its date files it
    // in its quarter, and an invoice without one would be declared in the
    // fourth quarter of the year.
    static QStringList requiredColumns();

    static int quarterOfMonth(int month);
    // The quarter of a date value as the database returns it; null is the zero date.
    static int quarterOfDate(const QVariant &date);

private:
    void placeRow(DataSet &destination);
    void release();
    int stampRows();

    Connection &m_connection;
    QString m_matricule;
    int m_year = 0;
    QString m_placeholder;
    DataSet *m_destination = nullptr;
    std::function<void(DataSet &)> m_previousBeforePost;
    std::function<void(DataSet &)> m_previousAfterPost;
    int m_next = 1; // the running number of the next row added
    bool m_adding = false; // the row being posted is a new one
};
