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
    , ivorande(new Connection(this))
    , Isociete(new DataSet(*ivorande, QStringLiteral("Isociete"), this))
    , Itiers(new DataSet(*ivorande, QStringLiteral("Itiers"), this))
    , ifacture(new DataSet(*ivorande, QStringLiteral("ifacture"), this))
    , iparametres(new DataSet(*ivorande, QStringLiteral("iparametres"), this))
    , QueryMaxNumero(new DataSet(*ivorande, QStringLiteral("QueryMaxNumero"), this))
{
    Isociete->setSql(IsocieteSql);
    Isociete->setUpdateTable(QStringLiteral("SOCIETE"),
        { QStringLiteral("IDENTIFIANT"), QStringLiteral("CLE"), QStringLiteral("CATEGORIE"), QStringLiteral("ETABSECONDAIRE") });
    Isociete->afterPost = [this](DataSet &d) { IsocieteAfterPost(d); };

    Itiers->setSql(ItiersSql);
    Itiers->setUpdateTable(QStringLiteral("TIERS"), { QStringLiteral("CODE") });
    Itiers->afterPost = [this](DataSet &d) { ItiersAfterPost(d); };

    ifacture->setSql(ifactureSql);
    ifacture->setUpdateTable(QStringLiteral("facture"),
        { QStringLiteral("IDENTIFIANT"), QStringLiteral("EXERCICE"), QStringLiteral("TRIMESTRE"), QStringLiteral("NUMEROORDRE") });
    ifacture->afterPost = [this](DataSet &d) { ifactureAfterPost(d); };
    ifacture->afterInsert = [this](DataSet &d) { ifactureAfterInsert(d); };
    ifacture->beforePost = [this](DataSet &d) { ifactureBeforePost(d); };
    ifacture->postFailed = [this](DataSet &d, const Error &e) { ifacturePostFailed(d, e); };
    for (const char *amount : { "PRIXVENTE", "MONTANTFODEC", "MONTANTDROITCONSOMMATION", "MONTANTTVA" })
        ifacture->setDisplayFormat(QString::fromLatin1(amount), AmountMask);

    iparametres->setSql(iparametresSql);
    iparametres->afterPost = [this](DataSet &d) { iparametresAfterPost(d); };
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
    ivorande->close();
    try {
        ivorande->setCredentials(Config::readCredentials(iniPath));
    } catch (const Error &) {
        // Without the installation's own user nothing is opened, not even
        // as the default one.
        ivorande->setDatabaseName(QString());
        throw;
    }
    ivorande->setDatabaseName(Config::databaseName(rep));
    ivorande->open();
}

void DataModule::InitialiserQueryMax()
{
    QueryMaxNumero->close();
    QueryMaxNumero->setSql(QString());
}

void DataModule::ifactureAfterInsert(DataSet &dataSet)
{
    InitialiserQueryMax();
    QueryMaxNumero->setSql(QueryMaxNumeroSql);
    QueryMaxNumero->setParam(QStringLiteral("codesociete"), m_matricule);
    QueryMaxNumero->setParam(QStringLiteral("exercice"), m_exercice);
    QueryMaxNumero->open();
    const QString max = QueryMaxNumero->fieldByName(QStringLiteral("MaxNumero"))->asString();
    int number = 1;
    if (!max.isEmpty()) {
        if (!tryStrToInt(max, number))
            throw Error(invalidIntegerMessage(max));
        ++number;
    }
    dataSet.fieldByName(QStringLiteral("NUMEROORDRE"))->setValue(number);
    m_givenNumber = number;
}

void DataModule::ifactureBeforePost(DataSet &dataSet)
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

    Query(*ivorande, NumberingSavepointSql).execute();
    m_numbering = true;
    InvoiceNumbering::lockCompany(*ivorande, matricule);
    const int number = InvoiceNumbering::highest(*ivorande, matricule, exercice.isValid() ? exercice : QVariant(m_exercice)) + 1;
    if (number != m_givenNumber) {
        m_shownNumber = m_givenNumber;
        numero->setValue(number);
        m_givenNumber = number;
    }
}

void DataModule::ifacturePostFailed(DataSet &dataSet, const Error &error)
{
    if (!m_numbering)
        return;
    m_numbering = false;
    // Gives the company's numbering back at once: the row may stay on the
    // screen for a long time.
    try {
        Query(*ivorande, QStringLiteral("ROLLBACK TO SAVEPOINT KESTRA_NUMBERING")).execute();
    } catch (const Error &) {
        // The post's own failure is the one to report.
    }
    const auto *db = dynamic_cast<const DbError *>(&error);
    if (db && db->isLockConflict() && !db->isKeyViolation())
        throw Error(InvoiceNumbering::NumberingBusy);
    (void)dataSet;
}

void DataModule::ifactureAfterPost(DataSet &dataSet)
{
    const bool numbered = m_numbering;
    const int shown = m_shownNumber;
    m_numbering = false;
    m_shownNumber = -1;
    if (dataSet.state() == DataSetState::Browse)
        m_givenNumber = -1;
    ItiersAfterPost(dataSet); // the same handler as the clients'
    if (numbered && shown >= 0)
        emit orderNumberRetaken(shown, dataSet.fieldByName(QStringLiteral("NUMEROORDRE"))->value().toInt());
}

void DataModule::IsocieteAfterPost(DataSet &)
{
    ivorande->commitRetaining();
}

void DataModule::ItiersAfterPost(DataSet &)
{
    ivorande->commitRetaining();
}

void DataModule::iparametresAfterPost(DataSet &)
{
    ivorande->commitRetaining();
}
