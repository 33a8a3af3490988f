#pragma once

#include "core/WorkingContext.h"
#include "data/Query.h"
#include "import/engine/ImportWork.h"

#include <QString>
#include <QWidget>

#include <memory>

class DataSet;
class DBGrid;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QTabWidget;
class ImportEngine;
class ImportRow;
class ImportWizard;
class DataModule;
class ImportDataGrid;
class ImportListView;
class ImportStringGrid;
class InvoiceStamping;

// The import screen: fills the client register (TIERS) or the invoice table
// (FACTURE) from a file through the import wizard. The chosen table can be
// emptied first; each invoice import ends with its rows stamped with the
// working company, year, quarter and order number, committed together with
// the import. A separate, non-modal window.
class ImportScreen : public QWidget
{
    Q_OBJECT

public:
    // context: the working context, read at opening and at each import.
    ImportScreen(DataModule &module, const WorkingContext &context, QWidget *parent = nullptr);
    ~ImportScreen() override;

    static inline const QString ClearClientsSql = QStringLiteral("delete FROM tiers");
    static inline const QString ClearInvoicesSql = QStringLiteral("delete FROM FACTURE");
    static inline const QString ImportedInvoicesSql
        = QStringLiteral("Select * from facture where identifiant=:identifiant and exercice=:exercice order by numeroordre");
    static constexpr const char *ClearQuestion = QT_TR_NOOP("Voulez-vous vider la table ?");
    static inline const QString CopyFailedMessage
        = QStringLiteral("L'importation n'a pas été lancée : la copie de la base qui la précède a échoué.\n%1");
    enum Tab { TabDataSet, TabDBGrid, TabListView, TabStringGrid };

    void prepare();
    void release();
    void chooseTable();
    void chooseDestination();
    void emptyChosenTable();
    void runImport();
    void beforeImport(QObject *Sender);
    void beforePost(ImportEngine *Sender, ImportRow *Row, bool &Accept);
    void rowImported(QObject *Sender);
    void cancelAsked(QObject *Sender, bool &Continue);
    void commitNeeded(QObject *Sender);
    void afterImport(QObject *Sender);

    // Room for the invoice table's columns: the window opens at this size.
    QSize sizeHint() const override;

    // Whether "Factures" is the chosen table.
    bool invoicesChosen() const;
    // The table view of the chosen table.
    DataSet *chosenTable() const;

    DataSet *invoicesTable; // FACTURE
    DataSet *clientsTable; // TIERS
    Query clearQuery; // the clear statement of the chosen table
    DataSet *shownTable = nullptr; // the table view both grids show

    QLabel *tableLabel;
    QComboBox *tableCombo;
    QCheckBox *useBeforePostCheck;
    QPushButton *emptyButton;
    QPushButton *importButton;
    QTabWidget *destinationTabs;
    ::DBGrid *dataSetGrid;
    ImportDataGrid *destinationGrid;
    ImportListView *destinationList;
    ImportStringGrid *destinationStringGrid;
    ImportWizard *wizard;

    QString impMatricule;
    QString impExercice;

private:
    QHBoxLayout *buildControlPanel();
    void setupDestinationTabs();
    void setupWizard();
    void readContext();
    void showTable(DataSet *table);
    // Invoices an interrupted import left unstamped: the operator stamps
    // them for the working company, deletes them or leaves them.
    void offerUnstampedInvoices();
    // After an abort: what the import wrote since it began or last
    // committed is taken back, and the progress dialog says so.
    void discardAbortedImport();
    // Before an invoice import into the database, a copy of it (unless the
    // configuration turns it off); throws Error saying why it failed.
    void copyBeforeImport();

    DataModule &m_module;
    const WorkingContext &m_context;
    // While the wizard runs for invoices: each of its imports and that
    // import's stamping are made durable together.
    std::unique_ptr<InvoiceStamping> m_stamping;
    // What the running import wrote to the chosen table.
    ImportWork m_work;
    bool m_importAborted = false;
};
