#include "data/DataModule.h"

#include "core/Conversion.h"
#include "core/Error.h"
#include "data/Config.h"
#include "data/InvoiceNumbering.h"

namespace {
const QString NumberingSavepointSql = QStringLiteral("SAVEPOINT KESTRA_NUMBERING");
} // namespace

DataModule::DataModule(QObject *parent)
    : QObject(parent)
    , connection(new Connection(this))
    , companies(new DataSet(*connection, QStringLiteral("Isociete"), this))
    , clients(new DataSet(*connection, QStringLiteral("Itiers"), this))
    , invoices(new DataSet(*connection, QStringLiteral("ifacture"), this))
    , parameters(new DataSet(*connection, QStringLiteral("iparametres"), this))
    , maxNumberQuery(new DataSet(*connection, QStringLiteral("QueryMaxNumero"), this))
{
    companies->setSql(CompaniesSql);
    companies->setUpdateTable(QStringLiteral("SOCIETE"),
        { QStringLiteral("IDENTIFIANT"), QStringLiteral("CLE"), QStringLiteral("CATEGORIE"), QStringLiteral("ETABSECONDAIRE") });
    companies->afterPost = [this](DataSet &d) { companyPosted(d); };

    clients->setSql(ClientsSql);
    clients->setUpdateTable(QStringLiteral("TIERS"), { QStringLiteral("CODE") });
    clients->afterPost = [this](DataSet &d) { clientPosted(d); };

    invoices->setSql(InvoicesSql);
    invoices->setUpdateTable(QStringLiteral("facture"),
        { QStringLiteral("IDENTIFIANT"), QStringLiteral("EXERCICE"), QStringLiteral("TRIMESTRE"), QStringLiteral("NUMEROORDRE") });
    invoices->afterPost = [this](DataSet &d) { invoicePosted(d); };
    invoices->afterInsert = [this](DataSet &d) { invoiceInserted(d); };
    invoices->beforePost = [this](DataSet &d) { invoiceAboutToPost(d); };
    invoices->postFailed = [this](DataSet &d, const Error &e) { invoicePostFailed(d, e); };
    for (const char *amount : { "PRIXVENTE", "MONTANTFODEC", "MONTANTDROITCONSOMMATION", "MONTANTTVA" })
        invoices->setDisplayFormat(QString::fromLatin1(amount), AmountMask);

    parameters->setSql(ParametersSql);
    parameters->afterPost = [this](DataSet &d) { parametersPosted(d); };
}

DataModule::~DataModule() = default;

void DataModule::setNumberingCompany(const QString &matricule, const QString &exercice)
{
    m_matricule = matricule;
    m_exercice = exercice;
}

void DataModule::openDatabase(const QString &iniPath)
{
    m_configurationPath = iniPath;
    backupSettings = Config::readBackupSettings(iniPath);
    const QString rep = Config::readDatabaseDirectory(iniPath);
    connection->close();
    try {
        connection->setCredentials(Config::readCredentials(iniPath));
    } catch (const Error &) {
        // Without the installation's own user nothing is opened, not even
        // as the default one.
        connection->setDatabaseName(QString());
        throw;
    }
    connection->setDatabaseName(Config::databaseName(rep));
    connection->open();
}

void DataModule::prepareNumberQuery()
{
    maxNumberQuery->close();
    maxNumberQuery->setSql(QString());
}

void DataModule::invoiceInserted(DataSet &dataSet)
{
    prepareNumberQuery();
    maxNumberQuery->setSql(MaxNumberSql);
    maxNumberQuery->setParam(QStringLiteral("codesociete"), m_matricule);
    maxNumberQuery->setParam(QStringLiteral("exercice"), m_exercice);
    maxNumberQuery->open();
    const QString max = maxNumberQuery->fieldByName(QStringLiteral("MaxNumero"))->asString();
    int number = 1;
    if (!max.isEmpty()) {
        if (!tryStrToInt(max, number))
            throw Error(invalidIntegerMessage(max));
        ++number;
    }
    dataSet.fieldByName(QStringLiteral("NUMEROORDRE"))->setValue(number);
    m_givenNumber = number;
}

void DataModule::invoiceAboutToPost(DataSet &dataSet)
{
    m_numbering = false;
    m_shownNumber = -1;
    if (dataSet.state() != DataSetState::Insert || m_givenNumber < 0)
        return;
    Field *numero = dataSet.fieldByName(QStringLiteral("NUMEROORDRE"));
    if (numero->value() != QVariant(m_givenNumber))
        return; // the operator chose the number: it is kept as typed
    // A post refused before any statement must not hold the numbering.
    dataSet.checkRequired();
    const QVariant identifiant = dataSet.fieldByName(QStringLiteral("IDENTIFIANT"))->value();
    const QVariant exercice = dataSet.fieldByName(QStringLiteral("EXERCICE"))->value();
    const QString matricule = identifiant.isValid() ? identifiant.toString() : m_matricule;

    Query(*connection, NumberingSavepointSql).execute();
    m_numbering = true;
    InvoiceNumbering::lockCompany(*connection, matricule);
    const int number = InvoiceNumbering::highest(*connection, matricule, exercice.isValid() ? exercice : QVariant(m_exercice)) + 1;
    if (number != m_givenNumber) {
        m_shownNumber = m_givenNumber;
        numero->setValue(number);
        m_givenNumber = number;
    }
}

void DataModule::invoicePostFailed(DataSet &dataSet, const Error &error)
{
    if (!m_numbering)
        return;
    m_numbering = false;
    // Gives the company's numbering back at once: the row may stay on the
    // screen for a long time.
    try {
        Query(*connection, QStringLiteral("ROLLBACK TO SAVEPOINT KESTRA_NUMBERING")).execute();
    } catch (const Error &) {
        // The post's own failure is the one to report.
    }
    const auto *db = dynamic_cast<const DbError *>(&error);
    if (db && db->isLockConflict() && !db->isKeyViolation())
        throw Error(InvoiceNumbering::NumberingBusy);
    (void)dataSet;
}

void DataModule::invoicePosted(DataSet &dataSet)
{
    const bool numbered = m_numbering;
    const int shown = m_shownNumber;
    m_numbering = false;
    m_shownNumber = -1;
    if (dataSet.state() == DataSetState::Browse)
        m_givenNumber = -1;
    clientPosted(dataSet); // the same handler as the clients'
    if (numbered && shown >= 0)
        emit orderNumberRetaken(shown, dataSet.fieldByName(QStringLiteral("NUMEROORDRE"))->value().toInt());
}

void DataModule::companyPosted(DataSet &)
{
    connection->commitRetaining();
}

void DataModule::clientPosted(DataSet &)
{
    connection->commitRetaining();
}

void DataModule::parametersPosted(DataSet &)
{
    connection->commitRetaining();
}
