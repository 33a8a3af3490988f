#pragma once

#include "data/Config.h"
#include "data/Connection.h"
#include "data/DataSet.h"

class Error;

#include <QObject>

// The data module: the connection, its shared transaction and the shared data
// sets that lists and forms look at together. Created first at start-up,
// destroyed last; its destruction commits pending work.
class DataModule : public QObject
{
    Q_OBJECT

public:
    explicit DataModule(QObject *parent = nullptr);
    ~DataModule() override;

    // Reads the configuration and opens the database; throws DbError with the
    // client's text, the module staying usable for a later attempt.
    void openDatabase(const QString &iniPath);
    // The configuration file read at start, and how backups are kept.
    const QString &configurationPath() const { return m_configurationPath; }
    Config::BackupSettings backupSettings;

    // The company (its whole tax identifier) and fiscal year new invoices are
    // numbered under; the application sets them when a company is chosen.
    void setNumberingCompany(const QString &matricule, const QString &exercice);
    const QString &numberingMatricule() const { return m_matricule; }
    const QString &numberingExercice() const { return m_exercice; }

    void prepareNumberQuery();
    void invoiceInserted(DataSet &dataSet);
    // A new invoice whose number is still the one the numbering gave it
    // takes its number again when posted, under the company's numbering:
    // another workstation may have posted that number meanwhile.
    void invoiceAboutToPost(DataSet &dataSet);
    void invoicePostFailed(DataSet &dataSet, const Error &error);
    void invoicePosted(DataSet &dataSet);
    void companyPosted(DataSet &dataSet);
    void clientPosted(DataSet &dataSet);
    void parametersPosted(DataSet &dataSet);

    Connection *connection;
    DataSet *companies;
    DataSet *clients;
    DataSet *invoices;
    DataSet *parameters;
    DataSet *maxNumberQuery;

    static inline const QString CompaniesSql = QStringLiteral("select * from SOCIETE");
    static inline const QString ClientsSql = QStringLiteral(" select  * from TIERS");
    static inline const QString InvoicesSql = QStringLiteral(" select  * from facture\nWHERE identifiant=:id and exercice=:ex");
    static inline const QString ParametersSql = QStringLiteral("select * from PARAMETRES");
    static inline const QString MaxNumberSql = QStringLiteral(
        "select max(FACTURE.NUMEROORDRE) as MaxNumero from FACTURE Where IDENTIFIANT=:codesociete and  exercice=:exercice");
    static inline const QString AmountMask = QStringLiteral("# ### ##0.000");

signals:
    // A new invoice was stored under another number than the one it showed:
    // another workstation had posted that one meanwhile.
    void orderNumberRetaken(int shown, int stored);

private:
    QString m_configurationPath;
    QString m_matricule;
    QString m_exercice;
    int m_givenNumber = -1; // by the numbering, to the row being entered
    int m_shownNumber = -1; // what the row showed before its post took another
    bool m_numbering = false; // the post holds the company's numbering
};
