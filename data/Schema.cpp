#include "data/Schema.h"

#include "core/Cp1252.h"
#include "data/Connection.h"
#include "data/FbClient.h"
#include "data/Query.h"

#include <QFileInfo>
#include <QRegularExpression>

extern const char *const KestraSchemaSql;

using namespace Firebird;

namespace Schema {

QString script()
{
    return QString::fromUtf8(KestraSchemaSql);
}

QStringList statements(const QString &text)
{
    QStringList out;
    QString terminator = QStringLiteral(";");
    QString current;
    int i = 0;
    const int n = static_cast<int>(text.size());
    while (i < n) {
        QChar c = text[i];
        if (c == QLatin1Char('\'')) {
            int j = static_cast<int>(text.indexOf(QLatin1Char('\''), i + 1));
            j = j < 0 ? n - 1 : j;
            current += text.mid(i, j - i + 1);
            i = j + 1;
            continue;
        }
        if (c == QLatin1Char('/') && i + 1 < n && text[i + 1] == QLatin1Char('*')) {
            int j = static_cast<int>(text.indexOf(QLatin1String("*/"), i + 2));
            j = j < 0 ? n : j + 2;
            current += text.mid(i, j - i);
            i = j;
            continue;
        }
        if (text.mid(i, terminator.size()) == terminator) {
            QString stmt = current.trimmed();
            current.clear();
            i += static_cast<int>(terminator.size());
            // strip leading comments to look at the statement's verb
            QString bare = stmt;
            static const QRegularExpression leadingComments(
                QStringLiteral("^(\\s*/\\*.*?\\*/)*\\s*"), QRegularExpression::DotMatchesEverythingOption);
            bare.remove(leadingComments);
            if (bare.startsWith(QLatin1String("SET TERM"), Qt::CaseInsensitive)) {
                QStringList parts = bare.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
                if (parts.size() >= 3)
                    terminator = parts[2];
                continue;
            }
            if (!bare.isEmpty())
                out << stmt;
            continue;
        }
        current += c;
        ++i;
    }
    if (!current.trimmed().isEmpty())
        out << current.trimmed();
    return out;
}

namespace {

// The database being made, dropped when it goes away unfinished: a half-made
// database is worse than none.
class NewDatabase
{
public:
    explicit NewDatabase(IAttachment *attachment)
        : m_attachment(attachment)
    {
    }
    ~NewDatabase()
    {
        // A transaction still open is rolled back first: a database is not
        // dropped under one.
        // The holders release what could not be ended.
        FbStatus st;
        try {
            m_transaction.finish([&st](ITransaction *t) { t->rollback(&st); });
        } catch (const DbError &) {
        }
        try {
            m_attachment.finish([&st](IAttachment *a) { a->dropDatabase(&st); });
        } catch (const DbError &) {
        }
    }
    NewDatabase(const NewDatabase &) = delete;
    NewDatabase &operator=(const NewDatabase &) = delete;

    void run(const QStringList &definitions)
    {
        FbStatus st;
        m_transaction.reset(m_attachment->startTransaction(&st, 0, nullptr));
        for (const QString &definition : definitions) {
            const QByteArray sql = Cp1252::fromUnicode(definition);
            m_attachment->execute(&st, m_transaction.get(), 0, sql.constData(), 1, nullptr, nullptr, nullptr, nullptr);
            // Each definition is committed before the next one uses it.
            m_transaction->commitRetaining(&st);
        }
        m_transaction.finish([&st](ITransaction *t) { t->commit(&st); });
        m_attachment.finish([&st](IAttachment *a) { a->detach(&st); });
    }

private:
    FbRef<IAttachment> m_attachment;
    FbRef<ITransaction> m_transaction;
};

} // namespace

void createDatabase(const QString &path, const Credentials &credentials)
{
    createDatabase(path, script(), credentials);
}

void createDatabase(const QString &path, const QString &schemaScript, const Credentials &credentials)
{
    // A server refuses to create over an existing file by itself; here the
    // file is looked for before the client library is even loaded.
    if (QFileInfo::exists(path))
        throw Error(QStringLiteral("Le fichier %1 existe déjà : il n'a pas été modifié.").arg(path));

    FbClient &client = FbClient::instance();
    FbStatus st;
    FbOwned<IXpbBuilder> dpb(client.util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0));
    dpb->insertTag(&st, isc_dpb_utf8_filename);
    insertCredentials(dpb.get(), st, credentials);
    dpb->insertInt(&st, isc_dpb_sql_dialect, 1);
    dpb->insertString(&st, isc_dpb_lc_ctype, "WIN1252");
    dpb->insertString(&st, isc_dpb_set_db_charset, "WIN1252");
    const QByteArray name = path.toUtf8();
    NewDatabase database(client.provider()->createDatabase(&st, name.constData(), dpb->getBufferLength(&st), dpb->getBuffer(&st)));
    database.run(statements(schemaScript));
}

QStringList addedTables()
{
    return { QStringLiteral("HISTORIQUE_DECLARATION") };
}

namespace {

bool tableExists(Connection &connection, const QString &table)
{
    Query q(connection, QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = :name"));
    q.setParam(QStringLiteral("name"), table);
    const QVector<Row> rows = q.fetchAll();
    return !rows.isEmpty() && rows.first().value(0).toInt() > 0;
}

// The script's statements that make the table.
QStringList definitionsOf(const QString &table)
{
    const QRegularExpression creates(
        QStringLiteral("^(/\\*.*?\\*/\\s*)*CREATE\\s+TABLE\\s+%1\\b").arg(table), QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QStringList found;
    for (const QString &statement : statements(script()))
        if (creates.match(statement).hasMatch())
            found << statement;
    return found;
}

} // namespace

void upgrade(Connection &connection)
{
    for (const QString &table : addedTables()) {
        const bool present = tableExists(connection, table);
        // The look ends without a commit: nothing was written.
        connection.rollback();
        if (present)
            continue;
        const QStringList definitions = definitionsOf(table);
        if (definitions.isEmpty())
            throw Error(QStringLiteral("La définition de la table %1 manque au schéma.").arg(table));
        try {
            for (const QString &definition : definitions)
                Query(connection, definition).execute();
            connection.commit();
        } catch (const Error &) {
            connection.rollback();
            // Another workstation made it first: its commit won.
            const bool madeMeanwhile = tableExists(connection, table);
            connection.rollback();
            if (!madeMeanwhile)
                throw;
        }
    }
}

} // namespace Schema
