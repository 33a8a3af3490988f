#include "invoices/InvoiceStamping.h"

#include "core/Conversion.h"
#include "core/DateTime.h"
#include "core/Error.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "data/InvoiceNumbering.h"
#include "data/Query.h"

#include <QRandomGenerator>

#include <limits>

namespace {

const QStringList KeyColumns
    = { QStringLiteral("IDENTIFIANT"), QStringLiteral("EXERCICE"), QStringLiteral("TRIMESTRE"), QStringLiteral("NUMEROORDRE") };

// December for a missing date, the zero date's month.
const QString QuarterOfInvoiceDate = QStringLiteral(
    "case when DATEFACTURE is null then 4 when extract(month from DATEFACTURE) <= 3 then 1 when extract(month from DATEFACTURE) <= 6 "
    "then 2 when extract(month from DATEFACTURE) <= 9 then 3 else 4 end");

// Rows numbered 1, 2, 3 ... as they were added: one statement moves them all.
const QString StampAllSql = QStringLiteral("update FACTURE set IDENTIFIANT = :matricule, EXERCICE = :exercice, TRIMESTRE = ")
    + QuarterOfInvoiceDate + QStringLiteral(", NUMEROORDRE = NUMEROORDRE + :highest where IDENTIFIANT = :placeholder");
// Rows with gaps between them (the import removed some of its own): one by one.
const QString StampOneSql = QStringLiteral("update FACTURE set IDENTIFIANT = :matricule, EXERCICE = :exercice, TRIMESTRE = ")
    + QuarterOfInvoiceDate
    + QStringLiteral(", NUMEROORDRE = :numero where IDENTIFIANT = :placeholder and EXERCICE = 0 and TRIMESTRE = 0 and NUMEROORDRE = :old");

const QString TooMany = QStringLiteral("Trop de factures à numéroter.");

// Another workstation that numbers without taking the company's numbering
// first can still take a number under our feet: so many fresh starts.
constexpr int StampingAttempts = 5;

void execute(Connection &connection, const QString &sql)
{
    Query(connection, sql).execute();
}

// A company no invoice can have: "~" and twelve random letters and digits,
// the width of the column.
QString newPlaceholder()
{
    static const char Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString text = QStringLiteral("~");
    for (int i = 0; i < 12; ++i)
        text += QLatin1Char(Alphabet[QRandomGenerator::system()->bounded(int(sizeof Alphabet - 1))]);
    return text;
}

} // namespace

InvoiceStamping::InvoiceStamping(Connection &connection, const QString &matricule, const QString &exercice)
    : m_connection(connection)
    , m_matricule(matricule)
{
    if (!tryStrToInt(exercice, m_year))
        throw Error(invalidIntegerMessage(exercice));
}

InvoiceStamping::~InvoiceStamping()
{
    if (!running())
        return;
    try {
        abandon();
    } catch (const Error &) {
        // Nothing of it was committed: the server drops it with the transaction.
    }
}

QStringList InvoiceStamping::requiredColumns()
{
    return { QStringLiteral("DATEFACTURE") };
}

int InvoiceStamping::quarterOfMonth(int month)
{
    return (month - 1) / 3 + 1;
}

int InvoiceStamping::quarterOfDate(const QVariant &date)
{
    const double value = isTimeStamp(date) ? date.value<TimeStamp>().value : 0.0;
    int year = 0, month = 0, day = 0;
    DateTime::decodeDate(value, year, month, day);
    return quarterOfMonth(month);
}

void InvoiceStamping::begin(DataSet &destination)
{
    if (running())
        throw Error(QStringLiteral("Une importation de factures est déjà en cours."));
    execute(m_connection, QStringLiteral("SAVEPOINT KESTRA_IMPORT"));
    m_placeholder = newPlaceholder();
    m_next = 1;
    m_adding = false;
    m_destination = &destination;
    m_previousBeforePost = destination.beforePost;
    m_previousAfterPost = destination.afterPost;
    destination.beforePost = [this](DataSet &d) {
        if (m_previousBeforePost)
            m_previousBeforePost(d);
        placeRow(d);
    };
    destination.afterPost = [this](DataSet &d) {
        if (m_adding)
            ++m_next;
        m_adding = false;
        if (m_previousAfterPost)
            m_previousAfterPost(d);
    };
}

void InvoiceStamping::placeRow(DataSet &destination)
{
    m_adding = destination.state() == DataSetState::Insert;
    if (m_adding) {
        const QVariantList key = { m_placeholder, 0, 0, m_next };
        for (int i = 0; i < KeyColumns.size(); ++i)
            destination.fieldByName(KeyColumns[i])->setValue(key[i]);
        return;
    }
    // An invoice the import found and changed stays where it is filed.
    for (const QString &column : KeyColumns) {
        Field *field = destination.fieldByName(column);
        field->setValue(destination.oldValue(field->index()));
    }
}

void InvoiceStamping::release()
{
    if (!m_destination)
        return;
    m_destination->beforePost = m_previousBeforePost;
    m_destination->afterPost = m_previousAfterPost;
    m_previousBeforePost = nullptr;
    m_previousAfterPost = nullptr;
    m_destination = nullptr;
}

int InvoiceStamping::finish()
{
    if (!running())
        return 0;
    release();
    try {
        const int stamped = stampRows();
        m_connection.commitRetaining();
        return stamped;
    } catch (const Error &) {
        try {
            execute(m_connection, QStringLiteral("ROLLBACK TO SAVEPOINT KESTRA_IMPORT"));
        } catch (const Error &) {
            // The stamping's own failure is the one to report.
        }
        throw;
    }
}

void InvoiceStamping::abandon()
{
    if (!running())
        return;
    release();
    execute(m_connection, QStringLiteral("ROLLBACK TO SAVEPOINT KESTRA_IMPORT"));
}

int InvoiceStamping::stampRows()
{
    QList<int> numbers;
    {
        Query q(m_connection,
            QStringLiteral("select NUMEROORDRE from FACTURE where IDENTIFIANT = :placeholder and EXERCICE = 0 and TRIMESTRE = 0 "
                           "order by NUMEROORDRE"));
        q.setParam(QStringLiteral("placeholder"), m_placeholder);
        q.open();
        Row row;
        while (q.fetch(row))
            numbers.append(row.value(0).toInt());
    }
    if (numbers.isEmpty())
        return 0;
    bool dense = true;
    for (int i = 0; i < numbers.size() && dense; ++i)
        dense = numbers[i] == i + 1;

    for (int attempt = 1;; ++attempt) {
        execute(m_connection, QStringLiteral("SAVEPOINT KESTRA_STAMPING"));
        try {
            // The company's numbering is held until the commit: the highest
            // number read here stays the highest.
            InvoiceNumbering::lockCompany(m_connection, m_matricule);
            const qint64 highest = InvoiceNumbering::highest(m_connection, m_matricule, m_year);
            if (highest + numbers.size() > std::numeric_limits<int>::max())
                throw Error(TooMany);
            qint64 stamped = 0;
            if (dense) {
                Query q(m_connection, StampAllSql);
                q.setParam(QStringLiteral("matricule"), m_matricule);
                q.setParam(QStringLiteral("exercice"), m_year);
                q.setParam(QStringLiteral("highest"), int(highest));
                q.setParam(QStringLiteral("placeholder"), m_placeholder);
                q.execute();
                stamped = q.rowsAffected();
            } else {
                Query q(m_connection, StampOneSql);
                q.setParam(QStringLiteral("matricule"), m_matricule);
                q.setParam(QStringLiteral("exercice"), m_year);
                q.setParam(QStringLiteral("placeholder"), m_placeholder);
                for (int i = 0; i < numbers.size(); ++i) {
                    q.setParam(QStringLiteral("numero"), int(highest + i + 1));
                    q.setParam(QStringLiteral("old"), numbers[i]);
                    q.execute();
                    stamped += q.rowsAffected();
                }
            }
            if (stamped != numbers.size())
                throw Error(QStringLiteral("Les factures importées n'ont pas pu être numérotées."));
            return int(stamped);
        } catch (const DbError &e) {
            // Numbers another workstation took meanwhile: start again after
            // the new highest one.
            const bool collided = e.isKeyViolation() || (e.isLockConflict() && !e.hasLockTimeout());
            execute(m_connection, QStringLiteral("ROLLBACK TO SAVEPOINT KESTRA_STAMPING"));
            if (!collided || attempt >= StampingAttempts)
                throw;
        }
    }
}
