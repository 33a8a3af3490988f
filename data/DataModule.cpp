#include "data/DataModule.h"

#include "core/Conversion.h"
#include "data/Config.h"

TDatadeclaration *Datadeclaration = nullptr;

TDatadeclaration::TDatadeclaration(QObject *parent)
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
    ifacture->afterPost = [this](DataSet &d) { ItiersAfterPost(d); }; // the same handler as the clients'
    ifacture->afterInsert = [this](DataSet &d) { ifactureAfterInsert(d); };
    for (const char *amount : { "PRIXVENTE", "MONTANTFODEC", "MONTANTDROITCONSOMMATION", "MONTANTTVA" })
        ifacture->setDisplayFormat(QString::fromLatin1(amount), AmountMask);

    iparametres->setSql(iparametresSql);
    iparametres->afterPost = [this](DataSet &d) { iparametresAfterPost(d); };
}

TDatadeclaration::~TDatadeclaration()
{
    if (Datadeclaration == this)
        Datadeclaration = nullptr;
}

void TDatadeclaration::DataModuleCreate(const QString &iniPath)
{
    const QString rep = Config::readDatabaseDirectory(iniPath);
    ivorande->close();
    ivorande->setDatabaseName(Config::databaseName(rep));
    ivorande->open();
}

void TDatadeclaration::InitialiserQueryMax()
{
    QueryMaxNumero->close();
    QueryMaxNumero->setSql(QString());
}

void TDatadeclaration::ifactureAfterInsert(DataSet &dataSet)
{
    InitialiserQueryMax();
    QueryMaxNumero->setSql(QueryMaxNumeroSql);
    const WorkingContext empty;
    const WorkingContext &c = m_context ? *m_context : empty;
    QueryMaxNumero->setParam(QStringLiteral("codesociete"), c.curIdentifiant + c.curCle + c.curCategorie + c.curEtab);
    QueryMaxNumero->setParam(QStringLiteral("exercice"), c.curExercice);
    QueryMaxNumero->open();
    const QString max = QueryMaxNumero->fieldByName(QStringLiteral("MaxNumero"))->asString();
    int number = 1;
    if (!max.isEmpty()) {
        if (!tryStrToInt(max, number))
            throw Error(invalidIntegerMessage(max));
        ++number;
    }
    dataSet.fieldByName(QStringLiteral("NUMEROORDRE"))->setValue(number);
}

void TDatadeclaration::IsocieteAfterPost(DataSet &)
{
    ivorande->commitRetaining();
}

void TDatadeclaration::ItiersAfterPost(DataSet &)
{
    ivorande->commitRetaining();
}

void TDatadeclaration::iparametresAfterPost(DataSet &)
{
    ivorande->commitRetaining();
}
