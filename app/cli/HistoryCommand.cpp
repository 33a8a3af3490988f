// kestra-cli history: the declarations generated, on every workstation.

#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "core/Error.h"
#include "data/Connection.h"
#include "declaration/DeclarationChecks.h"
#include "declaration/DeclarationHistory.h"

int historyCommand(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    const QString db = line.value(QStringLiteral("db"));
    const QString company = line.value(QStringLiteral("company"));
    if (db.isEmpty()) {
        err << line.usage();
        return 2;
    }
    if (!checkDatabase(db, err))
        return 1;
    try {
        Connection connection;
        openDatabase(connection, db);
        const QVector<DeclarationRecord> records = DeclarationHistory::list(connection, company);
        if (records.isEmpty()) {
            out << "Aucune déclaration enregistrée.\n";
        } else {
            out << "Société\tExercice\tTrimestre\tGénérée le\tPoste\tFactures\tH.T\tFODEC\tDroit de consommation\tTVA\tSHA-256\tFichier\n";
            using DeclarationChecks::amountText;
            for (const DeclarationRecord &r : records)
                out << QStringList { r.identifiant, QString::number(r.exercice), r.trimestre,
                    r.dateGeneration.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")), r.poste, QString::number(r.nombreFactures),
                    amountText(r.totalPrixVente), amountText(r.totalFodec), amountText(r.totalDroitConsommation), amountText(r.totalTva),
                    r.empreinte, r.chemin }
                           .join(QLatin1Char('\t'))
                    << "\n";
        }
        connection.close();
    } catch (const Error &e) {
        err << e.text() << "\n";
        return 1;
    }
    return 0;
}
