// kestra-cli import: an import from a saved wizard template without a
// screen, as an accounting office loads each month's workbook of every client
// company. It runs what the import screen runs: the same table views, the
// wizard's settings of the screen, the template's configuration, the engine,
// and for invoices the same stamping.

#include "app/cli/Arguments.h"
#include "app/cli/Commands.h"
#include "app/cli/CompanyLookup.h"
#include "core/Error.h"
#include "core/IniFile.h"
#include "core/TerminationSignals.h"
#include "data/AutomaticCopies.h"
#include "data/Config.h"
#include "data/Connection.h"
#include "data/DataSet.h"
#include "import/template/SourceSetup.h"
#include "import/template/TemplateFile.h"
#include "import/template/WizardProperties.h"
#include "import/template/ImportScreenWizard.h"
#include "import/engine/ImportTableViews.h"
#include "import/engine/ImportWork.h"
#include "invoices/InvoiceStamping.h"
#include "invoices/UnstampedInvoices.h"

#include <QFileInfo>

#include <csignal>
#include <memory>
#include <optional>

namespace {

struct ImportRequest
{
    QString db;
    QString templateFile;
    QString table;
    QString company;
    QString year;
    QString file;

    bool invoices() const { return table == QLatin1String("FACTURE"); }
};

struct Counts
{
    int inserted = 0;
    int updated = 0;
    int deleted = 0;
    int failed = 0;
};

struct ImportOutcome
{
    Counts counts;
    int stamped = 0;
    QString failure; // what ended the import, when something did
    QString logPath; // the error log, when one was written
    int signal = 0; // the termination signal that interrupted it
    int discarded = 0; // the rows it took back then
    int kept = 0; // the rows its intermediate commits had saved
};

// The exit code of a request that cannot run: 2 for wrong arguments, 1 for
// a template or a database that is not there.
std::optional<int> readRequest(const CommandLine &line, ImportRequest &r, QTextStream &err)
{
    r.db = line.value(QStringLiteral("db"));
    r.templateFile = line.value(QStringLiteral("template"));
    r.table = line.value(QStringLiteral("table")).toUpper();
    r.company = line.value(QStringLiteral("company"));
    r.year = line.value(QStringLiteral("year"));
    r.file = line.value(QStringLiteral("file"));
    if (r.db.isEmpty() || r.templateFile.isEmpty() || r.table.isEmpty()) {
        err << line.usage();
        return 2;
    }
    if (!r.invoices() && r.table != QLatin1String("TIERS")) {
        err << "Table incorrecte : " << r.table << " (TIERS ou FACTURE)\n";
        return 2;
    }
    if (r.invoices() && (r.company.isEmpty() || r.year.isEmpty())) {
        err << "L'importation des factures demande la société (--company) et l'exercice (--year).\n";
        return 2;
    }
    if (!r.year.isEmpty() && !checkYear(r.year, err))
        return 2;
    if (!QFileInfo(r.templateFile).isFile()) {
        err << "Modèle d'importation introuvable : " << r.templateFile << "\n";
        return 1;
    }
    if (!checkDatabase(r.db, err))
        return 1;
    return std::nullopt;
}

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

void countRows(ImportEngine &source, Counts &counts, ImportWork &work)
{
    source.onImportRecord = [&counts, &work](ImportEngine *s) {
        switch (s->recordState()) {
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
            return;
        }
        work.rowWritten();
    };
    source.onImportError = [&counts](ImportEngine *) { ++counts.failed; };
}

// One import of a request, step by step. Members go in the reverse order of
// their declaration: the source first, then the stamping, which still uses the
// destination and the connection, then those two.
class TemplateImport
{
public:
    TemplateImport(const ImportRequest &request, QTextStream &err)
        : m_request(request)
        , m_err(err)
    {
    }

    // The steps that may end the command return its exit code.
    std::optional<int> connect();
    std::optional<int> prepare();
    void run(ImportOutcome &outcome);

private:
    void loadSettings();
    void createSource(ImportOutcome &outcome);
    void execute(ImportOutcome &outcome);

    const ImportRequest &m_request;
    QTextStream &m_err;
    Connection m_connection;
    ImportWork m_work { m_connection };
    int m_signal = 0; // a termination signal taken during the import
    WorkingContext m_company;
    std::optional<DataSet> m_destination;
    WizardProperties m_wizard;
    ImportSettings m_settings;
    std::optional<InvoiceStamping> m_stamping;
    std::unique_ptr<ImportEngine> m_source;
};

std::optional<int> TemplateImport::connect()
{
    openDatabase(m_connection, m_request.db);
    if (m_request.invoices()) {
        if (!findCompany(m_connection, m_request.company, m_company)) {
            m_err << "Société introuvable : " << m_request.company << "\n";
            return 1;
        }
        m_company.curExercice = m_request.year; // the year asked, not the company's default one
    }
    return std::nullopt;
}

std::optional<int> TemplateImport::prepare()
{
    const bool invoices = m_request.invoices();
    m_destination.emplace(m_connection, invoices ? QStringLiteral("IBTable1") : QStringLiteral("IBTable2"));
    if (invoices)
        setupInvoiceTableView(*m_destination);
    else
        setupClientTableView(*m_destination);
    m_destination->open();
    loadSettings();
    if (m_settings.fileName.isEmpty() || !QFileInfo(m_settings.fileName).isFile()) {
        m_err << "Fichier source introuvable : " << (m_settings.fileName.isEmpty() ? QStringLiteral("(aucun)") : m_settings.fileName)
              << "\n";
        return 1;
    }
    return std::nullopt;
}

// The template applies over the settings the screen gives its wizard.
void TemplateImport::loadSettings()
{
    setupImportScreenWizard(m_wizard);
    m_wizard.dataSet = &*m_destination;
    auto probe = createImportSource(aiCSV);
    m_wizard.applyDestination(*probe);
    const ImportSettings defaults = m_wizard.initialSettings(destinationColumns(*probe));
    m_settings = defaults;
    // "Commit when done" is a flag the screen's wizard keeps on whatever a
    // template says; unattended, the template decides how to commit.
    ImportSettings component = defaults;
    if (IniFile(m_request.templateFile).hasKey(QStringLiteral("LAST_STEP"), QStringLiteral("CommitAfterDone")))
        component.commitAfterDone = false;
    TemplateFile::load(m_request.templateFile, m_settings, component, m_wizard.allowedImports);
    // Set as it stands: the spreadsheet's ranges stay those of the template.
    if (!m_request.file.isEmpty())
        m_settings.fileName = m_request.file;
}

void TemplateImport::run(ImportOutcome &outcome)
{
    if (m_request.invoices()) {
        reportUnstamped(m_connection, m_request.db, m_err);
        m_stamping.emplace(m_connection, m_company.curMatricule, m_request.year);
    }
    createSource(outcome);
    execute(outcome);
    // A signal that came before the import's work was made durable
    // interrupts it as an operator's abort does: what it wrote since it
    // began or last committed is taken back, invoices unstamped included.
    if (!m_signal)
        m_signal = takeTerminationSignal();
    if (m_signal) {
        outcome.signal = m_signal;
        try {
            outcome.discarded = m_work.discard();
            if (m_stamping)
                m_stamping->abandon();
        } catch (const Error &) {
            // The transaction holds nothing else of ours: none of it may
            // reach the commit that closing makes.
            m_connection.rollback();
            throw;
        }
        outcome.kept = m_work.kept();
    } else {
        m_work.end();
        // Whatever the import brought is stamped and committed with it,
        // also after a failure that ended it early; or none of it is kept.
        if (m_stamping) {
            try {
                outcome.stamped = m_stamping->finish();
            } catch (const Error &e) {
                if (!outcome.failure.isEmpty())
                    outcome.failure += QLatin1Char('\n');
                outcome.failure += QStringLiteral("Aucune des factures de cette importation n'a été enregistrée : ") + e.text();
            }
        }
    }
    m_connection.commit();
    m_connection.close();
}

void TemplateImport::createSource(ImportOutcome &outcome)
{
    m_source = createImportSource(m_settings.importType);
    if (m_stamping)
        m_wizard.requiredColumns = InvoiceStamping::requiredColumns();
    m_wizard.applyDestination(*m_source);
    configureImportSource(*m_source, m_settings);
    // An invoice import is committed with its stamping, never before.
    m_source->onNeedCommit = [this](ImportEngine *) {
        if (!m_stamping || !m_stamping->running())
            m_work.commit();
    };
    countRows(*m_source, outcome.counts, m_work);
    // Once per row: SIGINT, SIGTERM or SIGHUP stops the import at the next one.
    m_source->onYield = [this](ImportEngine *s) {
        if (!m_signal)
            m_signal = takeTerminationSignal();
        if (m_signal)
            s->cancel();
    };
    // Nobody is there to read it: its path is printed instead.
    m_source->onShowErrorLog = [](const QString &) {};
}

void TemplateImport::execute(ImportOutcome &outcome)
{
    if (m_stamping)
        m_stamping->begin(*m_destination);
    m_work.begin();
    try {
        m_source->execute();
    } catch (const Error &e) {
        outcome.failure = e.text();
    }
    if (m_source->errorLog() && QFileInfo::exists(m_source->errorLogPath()))
        outcome.logPath = m_source->errorLogPath();
}

QString signalName(int signal)
{
    switch (signal) {
    case SIGINT:
        return QStringLiteral("SIGINT");
    case SIGTERM:
        return QStringLiteral("SIGTERM");
    case SIGHUP:
        return QStringLiteral("SIGHUP");
    default:
        return QStringLiteral("signal %1").arg(signal);
    }
}

// 0 when every row went in, 3 when some failed, 1 when the import failed,
// 128 + the signal's number when a signal interrupted it.
int report(const ImportRequest &request, const ImportOutcome &outcome, QTextStream &out, QTextStream &err)
{
    out << "Lignes insérées : " << outcome.counts.inserted << "\n";
    out << "Lignes modifiées : " << outcome.counts.updated << "\n";
    out << "Lignes supprimées : " << outcome.counts.deleted << "\n";
    out << "Lignes en échec : " << outcome.counts.failed << "\n";
    if (request.invoices())
        out << "Factures numérotées : " << outcome.stamped << "\n";
    if (!outcome.logPath.isEmpty())
        out << "Journal des erreurs : " << outcome.logPath << "\n";
    if (outcome.signal) {
        err << "Importation interrompue (" << signalName(outcome.signal) << ") : " << outcome.discarded << " ligne(s) annulée(s), "
            << outcome.kept << " ligne(s) conservée(s) par les validations intermédiaires.\n";
        return 128 + outcome.signal;
    }
    if (!outcome.failure.isEmpty()) {
        err << outcome.failure << "\n";
        return 1;
    }
    return outcome.counts.failed > 0 ? 3 : 0;
}

// Invoices imported into the wrong company or year are undone from the copy
// made first, unless the configuration turns it off; without the copy
// nothing is imported.
std::optional<int> copyBeforeImport(const ImportRequest &request, QTextStream &err)
{
    const Config::BackupSettings settings = Config::readBackupSettings();
    if (!request.invoices() || !settings.copyBeforeImport)
        return std::nullopt;
    try {
        const Backup::Outcome copy = AutomaticCopies::make(
            databaseNameOf(request.db), Config::readCredentials(), Backup::Kind::BeforeImport, settings);
        err << "Copie de la base avant l'importation : " << copy.describe() << "\n";
        err.flush();
    } catch (const Error &e) {
        err << "L'importation n'a pas été lancée : la copie de la base qui la précède a échoué.\n" << e.text() << "\n";
        return 1;
    }
    return std::nullopt;
}

} // namespace

int importCommand(const CommandLine &line, QTextStream &out, QTextStream &err)
{
    // Before the database client starts its threads: the import reads the
    // signals itself, so that an interrupted import takes back its work.
    blockTerminationSignals();
    ImportRequest request;
    if (const std::optional<int> rc = readRequest(line, request, err))
        return *rc;
    ImportOutcome outcome;
    try {
        TemplateImport import(request, err);
        if (const std::optional<int> rc = import.connect())
            return *rc;
        if (const std::optional<int> rc = import.prepare())
            return *rc;
        if (const std::optional<int> rc = copyBeforeImport(request, err))
            return *rc;
        import.run(outcome);
    } catch (const Error &e) {
        err << e.text() << "\n";
        return 1;
    }
    return report(request, outcome, out, err);
}
