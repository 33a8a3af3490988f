#include "data/Schema.h"

#include "core/Cp1252.h"
#include "data/FbClient.h"

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

void createDatabase(const QString &path)
{
    // A server refuses to create over an existing file by itself; here the
    // file is looked for before the client library is even loaded.
    if (QFileInfo::exists(path))
        throw Error(QStringLiteral("Le fichier %1 existe déjà : il n'a pas été modifié.").arg(path));

    FbClient &client = FbClient::instance();
    FbStatus st;
    IXpbBuilder *dpb = client.util()->getXpbBuilder(&st, IXpbBuilder::DPB, nullptr, 0);
    IAttachment *att = nullptr;
    try {
        dpb->insertString(&st, isc_dpb_user_name, "SYSDBA");
        dpb->insertString(&st, isc_dpb_password, "quillbark");
        dpb->insertInt(&st, isc_dpb_sql_dialect, 1);
        dpb->insertString(&st, isc_dpb_lc_ctype, "WIN1252");
        dpb->insertString(&st, isc_dpb_set_db_charset, "WIN1252");
        dpb->insertTag(&st, isc_dpb_utf8_filename);
        QByteArray name = path.toUtf8();
        att = client.provider()->createDatabase(&st, name.constData(), dpb->getBufferLength(&st), dpb->getBuffer(&st));
    } catch (...) {
        dpb->dispose();
        throw;
    }
    dpb->dispose();

    try {
        ITransaction *tra = att->startTransaction(&st, 0, nullptr);
        try {
            for (const QString &stmt : statements(script())) {
                QByteArray sql = Cp1252::fromUnicode(stmt);
                att->execute(&st, tra, 0, sql.constData(), 1, nullptr, nullptr, nullptr, nullptr);
                // Each definition is committed before the next one uses it.
                tra->commitRetaining(&st);
            }
            tra->commit(&st);
        } catch (...) {
            FbStatus rb;
            try {
                tra->rollback(&rb);
            } catch (const DbError &) {
            }
            throw;
        }
        att->detach(&st);
    } catch (...) {
        // A half-made database is worse than none.
        FbStatus drop;
        try {
            att->dropDatabase(&drop);
        } catch (const DbError &) {
            att->release();
        }
        throw;
    }
}

} // namespace Schema
