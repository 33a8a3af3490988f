// kestra-cli import: an import from a saved wizard template without a
// screen, as an accounting office loads each month's workbook of every client
// company. It runs what the import screen runs: the same table views, the
// wizard's settings of the screen, the template's configuration, the engine,
// and for invoices the same stamping.

#include "app/cli/Commands.h"
#include "app/cli/CompanyLookup.h"
#include "core/Conversion.h"
#include "core/Error.h"
#include "core/IniFile.h"
#include "data/Config.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "import/DataImportSourceSetup.h"
#include "import/DataImportTemplate.h"
#include "import/DataImportWizardProperties.h"
#include "import/ImportScreenWizard.h"
#include "import/ImportTableViews.h"
#include "import/InvoiceStamping.h"
#include "import/UnstampedInvoices.h"

#include <QFileInfo>

#include <optional>

namespace {

const QString Usage = QStringLiteral(
    "Utilisation : kestra-cli import --db DIR --template FICHIER.imp --table TIERS|FACTURE [--company MATRICULE --year ANNEE] "
    "[--file SOURCE]\n");

struct Counts
{
    int inserted = 0;
    int updated = 0;
    int deleted = 0;
    int failed = 0;
};

// Invoices an interrupted import left unstamped collide with the rows of the
// same import run again: the operator is told where they are and how to
// stamp or delete them.
void reportUnstamped(Connection &connection, const QString &db, QTextStream &err)
{
    const QList<UnstampedInvoices::Group> groups = UnstampedInvoices::find(connection);
    if (groups.isEmpty())
        return;
    err << "Attention : " << UnstampedInvoices::total(groups)
        << " facture(s) laissée(s) par une importation interrompue attendent sous une clé provisoire, hors de tout registre et de toute "
           "déclaration :\n"
        << UnstampedInvoices::describe(groups) << "\n"
        << "Pour les numéroter : kestra-cli unstamped --db " << db << " --stamp --company MATRICULE --year ANNEE\n"
        << "Pour les supprimer : kestra-cli unstamped --db " << db << " --delete\n";
    err.flush();
}

} // namespace

int importCommand(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QString db, templateFile, table, company, year, file;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        QString *target = a == QLatin1String("--db") ? &db
            : a == QLatin1String("--template")       ? &templateFile
            : a == QLatin1String("--table")          ? &table
            : a == QLatin1String("--company")        ? &company
            : a == QLatin1String("--year")           ? &year
            : a == QLatin1String("--file")           ? &file
                                                     : nullptr;
        if (!target || i + 1 >= args.size()) {
            err << "Argument incorrect : " << a << "\n" << Usage;
            return 2;
        }
        *target = args[++i];
    }
    table = table.toUpper();
    if (db.isEmpty() || templateFile.isEmpty() || table.isEmpty()) {
        err << Usage;
        return 2;
    }
    const bool invoices = table == QLatin1String("FACTURE");
    if (!invoices && table != QLatin1String("TIERS")) {
        err << "Table incorrecte : " << table << " (TIERS ou FACTURE)\n";
        return 2;
    }
    if (invoices && (company.isEmpty() || year.isEmpty())) {
        err << "L'importation des factures demande la société (--company) et l'exercice (--year).\n";
        return 2;
    }
    int yearNumber = 0;
    if (!year.isEmpty() && (!tryStrToInt(year, yearNumber) || year.size() != 4 || yearNumber < 1000)) {
        err << "Exercice incorrect : " << year << " (une année sur quatre chiffres)\n";
        return 2;
    }
    if (!QFileInfo(templateFile).isFile()) {
        err << "Modèle d'importation introuvable : " << templateFile << "\n";
        return 1;
    }
    if (!Config::isServerDirectory(db) && !QFileInfo::exists(Config::databaseName(db))) {
        err << "Base introuvable : " << Config::databaseName(db) << "\n";
        return 1;
    }

    Counts counts;
    int stamped = 0;
    QString failure;
    QString logPath;
    try {
        Connection connection;
        connection.setDatabaseName(Config::databaseName(db));
        connection.open();

        WorkingContext context;
        if (invoices) {
            if (!findCompany(connection, company, context)) {
                err << "Société introuvable : " << company << "\n";
                return 1;
            }
            context.curExercice = year; // the year asked, not the company's default one
        }

        DataSet destination(connection, invoices ? QStringLiteral("IBTable1") : QStringLiteral("IBTable2"));
        if (invoices)
            SetupInvoiceTableView(destination);
        else
            SetupClientTableView(destination);
        destination.open();

        // The template applies over the settings the screen gives its wizard.
        TDataImportWizardProperties wizard;
        SetupImportScreenWizard(wizard);
        wizard.DataSet = &destination;
        auto probe = CreateImportSource(aiCSV);
        wizard.ApplyDestination(*probe);
        const TDataImportWizardSettings defaults = wizard.InitialSettings(DestinationColumns(*probe));
        TDataImportWizardSettings settings = defaults;
        // "Commit when done" is a flag the screen's wizard keeps on whatever a
        // template says; unattended, the template decides how to commit.
        TDataImportWizardSettings component = defaults;
        if (IniFile(templateFile).hasKey(QStringLiteral("LAST_STEP"), QStringLiteral("CommitAfterDone")))
            component.CommitAfterDone = false;
        TDataImportTemplate::Load(templateFile, settings, component, wizard.AllowedImports);
        // Set as it stands: the spreadsheet's ranges stay those of the template.
        if (!file.isEmpty())
            settings.FileName = file;
        if (settings.FileName.isEmpty() || !QFileInfo(settings.FileName).isFile()) {
            err << "Fichier source introuvable : " << (settings.FileName.isEmpty() ? QStringLiteral("(aucun)") : settings.FileName) << "\n";
            return 1;
        }

        std::optional<TInvoiceStamping> stamping;
        if (invoices) {
            reportUnstamped(connection, db, err);
            stamping.emplace(connection, context.curIdentifiant + context.curCle + context.curCategorie + context.curEtab, year);
        }

        std::unique_ptr<TDataImport> source = CreateImportSource(settings.ImportType);
        wizard.ApplyDestination(*source);
        ConfigureImportSource(*source, settings);
        // An invoice import is committed with its stamping, never before.
        source->OnNeedCommit = [&connection, &stamping](TDataImport *) {
            if (!stamping || !stamping->Running())
                connection.commitRetaining();
        };
        source->OnImportRecord = [&counts](TDataImport *s) {
            switch (s->RecordState()) {
            case rsAdded:
                ++counts.inserted;
                break;
            case rsEditing:
                ++counts.updated;
                break;
            case rsDeleted:
                ++counts.deleted;
                break;
            case rsNone:
                break;
            }
        };
        source->OnImportError = [&counts](TDataImport *) { ++counts.failed; };
        // Nobody is there to read it: its path is printed instead.
        source->OnShowErrorLog = [](const QString &) {};
        if (stamping)
            stamping->Begin(destination);
        try {
            source->Execute();
        } catch (const Error &e) {
            failure = e.text();
        }
        if (source->ErrorLog() && QFileInfo::exists(source->ErrorLogPath()))
            logPath = source->ErrorLogPath();

        // Whatever the import brought is stamped and committed with it, also
        // after a failure that ended it early; or none of it is kept.
        if (stamping) {
            try {
                stamped = stamping->Finish();
            } catch (const Error &e) {
                if (!failure.isEmpty())
                    failure += QLatin1Char('\n');
                failure += QStringLiteral("Aucune des factures de cette importation n'a été enregistrée : ") + e.text();
            }
        }
        connection.commit();
        connection.close();
    } catch (const Error &e) {
        err << e.text() << "\n";
        return 1;
    }

    out << "Lignes insérées : " << counts.inserted << "\n";
    out << "Lignes modifiées : " << counts.updated << "\n";
    out << "Lignes supprimées : " << counts.deleted << "\n";
    out << "Lignes en échec : " << counts.failed << "\n";
    if (invoices)
        out << "Factures numérotées : " << stamped << "\n";
    if (!logPath.isEmpty())
        out << "Journal des erreurs : " << logPath << "\n";
    if (!failure.isEmpty()) {
        err << failure << "\n";
        return 1;
    }
    return counts.failed > 0 ? 3 : 0;
}
