#include "import/screen/ImportScreen.h"

#include "core/Conversion.h"
#include "core/Error.h"
#include "data/AutomaticCopies.h"
#include "data/DataModule.h"
#include "data/DataSet.h"
#include "import/engine/ImportTableViews.h"
#include "import/screen/ImportDestinationWidgets.h"
#include "import/template/ImportScreenWizard.h"
#include "import/wizard/ImportWizard.h"
#include "invoices/InvoiceStamping.h"
#include "invoices/UnstampedInvoices.h"
#include "ui/CurrentCell.h"
#include "ui/DBGrid.h"
#include "ui/MessageBox.h"
#include "ui/OperationProgress.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString Clients = QStringLiteral("Clients");
const QString Factures = QStringLiteral("Factures");

GridColumn column(const char *field, int width, bool number = false)
{
    GridColumn c;
    c.fieldName = QString::fromLatin1(field);
    c.title = c.fieldName;
    c.width = width;
    if (number)
        c.alignment = Qt::AlignRight | Qt::AlignVCenter;
    return c;
}

// Every field of the table view, titled by its name, as a grid without
// columns of its own shows a data set.
QList<GridColumn> clientColumns()
{
    return { column("CODE", 60, true), column("TYPEIDENTIFIANT", 40), column("PHYSIQUEMORALE", 40), column("IDENTIFIANT", 120),
        column("NOMBENEFICIAIRE", 240), column("ADRESSE", 300), column("NUMEROAUTORISATION", 140), column("DATEAUTORISATION", 100) };
}

QList<GridColumn> invoiceColumns()
{
    return { column("IDENTIFIANT", 120), column("EXERCICE", 60, true), column("TRIMESTRE", 40, true), column("NUMEROORDRE", 60, true),
        column("NUMEROFACTURE", 130), column("DATEFACTURE", 90), column("TYPEIDCLIENT", 40), column("IDENTIFIANTCLIENT", 120),
        column("NOMPRENOMCLIENT", 240), column("ADRESSECLIENT", 300), column("NUMEROAUTORISATION", 140), column("DATEAUTORISATION", 90),
        column("PRIXVENTE", 90, true), column("TAUXFODEC", 60, true), column("MONTANTFODEC", 90, true),
        column("TAUXDROITCONSOMMATION", 60, true), column("MONTANTDROITCONSOMMATION", 90, true), column("TAUXTVA", 60, true),
        column("MONTANTTVA", 90, true), column("CODE", 60, true) };
}

void reopenAtLast(DataSet *dataSet)
{
    dataSet->close();
    dataSet->open();
    dataSet->last();
}

QString textOf(const std::exception &e)
{
    if (const auto *error = dynamic_cast<const Error *>(&e))
        return error->text();
    return QString::fromUtf8(e.what());
}

} // namespace

ImportScreen::ImportScreen(DataModule &module, const WorkingContext &context, QWidget *parent)
    : QWidget(parent)
    , invoicesTable(new DataSet(*module.connection, QStringLiteral("IBTable1"), this))
    , clientsTable(new DataSet(*module.connection, QStringLiteral("IBTable2"), this))
    , clearQuery(*module.connection)
    , tableLabel(new QLabel(tr("Table à Importer"), this))
    , tableCombo(new QComboBox(this))
    , useBeforePostCheck(new QCheckBox(tr("Use before post event"), this))
    , emptyButton(new QPushButton(tr("Vider la Table"), this))
    , importButton(new QPushButton(tr("Imporation des Données"), this))
    , destinationTabs(new QTabWidget(this))
    , dataSetGrid(new ::DBGrid)
    , destinationGrid(new ImportDataGrid)
    , destinationList(new ImportListView)
    , destinationStringGrid(new ImportStringGrid)
    , wizard(new ImportWizard(this))
    , m_module(module)
    , m_context(context)
    , m_work(*module.connection)
{
    setObjectName(QStringLiteral("importScreen"));
    setWindowTitle(tr("Importation"));
    setupInvoiceTableView(*invoicesTable);
    setupClientTableView(*clientsTable);
    for (DataSet *table : { invoicesTable, clientsTable })
        for (const char *amount : { "PRIXVENTE", "MONTANTFODEC", "MONTANTDROITCONSOMMATION", "MONTANTTVA" })
            table->setDisplayFormat(QString::fromLatin1(amount), DataModule::AmountMask);

    QHBoxLayout *panel = buildControlPanel();
    setupDestinationTabs();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(panel);
    layout->addWidget(destinationTabs, 1);

    setupWizard();
    showTable(clientsTable);

    // Connected once the window shows the "DBGrid" tab: opening does not
    // choose the destination kind.
    connect(tableCombo, &QComboBox::currentIndexChanged, this, &ImportScreen::chooseTable);
    connect(destinationTabs, &QTabWidget::currentChanged, this, &ImportScreen::chooseDestination);
    connect(emptyButton, &QPushButton::clicked, this, &ImportScreen::emptyChosenTable);
    connect(importButton, &QPushButton::clicked, this, &ImportScreen::runImport);
    prepare();
}

// The table to import, the check and the two buttons above the grids.
QHBoxLayout *ImportScreen::buildControlPanel()
{
    tableLabel->setObjectName(QStringLiteral("tableLabel"));
    tableCombo->setObjectName(QStringLiteral("tableCombo"));
    tableCombo->addItems({ Clients, Factures });
    tableCombo->setToolTip(tr("Veuillez importer les tables dans leur Ordre"));
    tableLabel->setBuddy(tableCombo);
    useBeforePostCheck->setObjectName(QStringLiteral("useBeforePostCheck"));
    emptyButton->setObjectName(QStringLiteral("emptyButton"));
    emptyButton->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    importButton->setObjectName(QStringLiteral("importButton"));
    importButton->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));

    auto *panel = new QHBoxLayout;
    panel->addWidget(tableLabel);
    panel->addWidget(tableCombo);
    panel->addSpacing(12);
    panel->addWidget(useBeforePostCheck);
    panel->addStretch();
    panel->addWidget(emptyButton);
    panel->addWidget(importButton);
    return panel;
}

// The four destinations the wizard may import into, one per tab.
void ImportScreen::setupDestinationTabs()
{
    destinationTabs->setObjectName(QStringLiteral("destinationTabs"));
    dataSetGrid->setObjectName(QStringLiteral("dataSetGrid"));
    destinationGrid->setObjectName(QStringLiteral("destinationGrid"));
    destinationList->setObjectName(QStringLiteral("destinationList"));
    destinationStringGrid->setObjectName(QStringLiteral("destinationStringGrid"));
    destinationTabs->addTab(dataSetGrid, tr("Dataset"));
    destinationTabs->addTab(destinationGrid, tr("DBGrid"));
    destinationTabs->addTab(destinationList, tr("ListView"));
    destinationTabs->addTab(destinationStringGrid, tr("StringGrid"));
    destinationTabs->setCurrentIndex(TabDBGrid);
    // Tab leaves a grid for the buttons, as in the registers' lists; the
    // arrows move between its cells.
    for (QAbstractItemView *grid :
        std::initializer_list<QAbstractItemView *> { dataSetGrid, destinationGrid, destinationList, destinationStringGrid }) {
        grid->setTabKeyNavigation(false);
        grid->setItemDelegate(new CurrentCellDelegate(grid));
    }
}

void ImportScreen::setupWizard()
{
    wizard->setObjectName(QStringLiteral("wizard"));
    // What needs no window comes from import/, where kestra-cli import takes it too.
    setupImportScreenWizard(*wizard);
    wizard->dbGrid = destinationGrid;
    wizard->listView = destinationList;
    wizard->stringGrid = destinationStringGrid;
    wizard->onBeforePost = [this](ImportEngine *sender, ImportRow *row, bool &accept) { beforePost(sender, row, accept); };
    wizard->onBeforeImport = [this](QObject *sender) { beforeImport(sender); };
    wizard->onImportRecord = [this](QObject *sender) { rowImported(sender); };
    wizard->onImportCancel = [this](QObject *sender, bool &goOn) { cancelAsked(sender, goOn); };
    wizard->onNeedCommit = [this](QObject *sender) { commitNeeded(sender); };
    wizard->onAfterImport = [this](QObject *sender) { afterImport(sender); };
}

ImportScreen::~ImportScreen()
{
    release();
}

QSize ImportScreen::sizeHint() const
{
    return QSize(1000, 560);
}

void ImportScreen::prepare()
{
    try {
        clientsTable->open();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
    const QStringList captions
        = { QStringLiteral("CODE"), QStringLiteral("IDENTIFIANT"), QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("ADRESSE") };
    for (int c = 0; c < captions.size(); ++c)
        destinationStringGrid->setCell(c, 0, captions[c]);
    wizard->dataSet = clientsTable;
    clearQuery.setSql(ClearClientsSql);
    readContext();
    try {
        reopenAtLast(m_module.clients);
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
}

void ImportScreen::release()
{
    invoicesTable->close();
}

void ImportScreen::readContext()
{
    impMatricule = m_context.curIdentifiant + m_context.curCle + m_context.curCategorie + m_context.curEtab;
    impExercice = m_context.curExercice;
}

bool ImportScreen::invoicesChosen() const
{
    return tableCombo->currentText() == Factures;
}

DataSet *ImportScreen::chosenTable() const
{
    return invoicesChosen() ? invoicesTable : clientsTable;
}

void ImportScreen::showTable(DataSet *table)
{
    shownTable = table;
    QList<GridColumn> columns = table == invoicesTable ? invoiceColumns() : clientColumns();
    // The titles are the column names: each column is at least as wide as its own.
    for (GridColumn &c : columns)
        c.width = std::max(c.width, dataSetGrid->horizontalHeader()->fontMetrics().horizontalAdvance(c.title) + 12);
    for (::DBGrid *grid : { dataSetGrid, static_cast<::DBGrid *>(destinationGrid) }) {
        grid->setDataSet(table);
        grid->setColumns(columns);
    }
}

void ImportScreen::chooseTable()
{
    DataSet *table = chosenTable();
    try {
        table->open();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
    showTable(table);
    clearQuery.close();
    clearQuery.setSql(invoicesChosen() ? ClearInvoicesSql : ClearClientsSql);
    wizard->dataSet = table;
}

void ImportScreen::chooseDestination()
{
    static constexpr ImportDestination Kinds[] = { qidDataSet, qidDBGrid, qidListView, qidStringGrid };
    const int tab = destinationTabs->currentIndex();
    if (tab >= 0 && tab < int(std::size(Kinds)))
        wizard->importDestination = Kinds[tab];
}

void ImportScreen::emptyChosenTable()
{
    switch (destinationTabs->currentIndex()) {
    case TabDataSet:
    case TabDBGrid:
        // The statement empties the table for every company and year.
        if (!MessageBox::confirm(this, tr(ClearQuestion), QMessageBox::No))
            return;
        try {
            clearQuery.execute();
            // A full commit ends the transaction, which closes every data
            // set: the chosen table is shown again, emptied.
            m_module.connection->commit();
            invoicesTable->open();
            chosenTable()->open();
        } catch (const Error &e) {
            MessageBox::error(this, e.text());
        }
        break;
    case TabListView:
        destinationList->clearItems();
        break;
    case TabStringGrid:
        destinationStringGrid->clearCells();
        break;
    }
}

void ImportScreen::runImport()
{
    readContext();
    const bool invoices = invoicesChosen();
    wizard->dataSet = chosenTable();
    wizard->requiredColumns = invoices ? InvoiceStamping::requiredColumns() : QStringList();
    if (invoices) {
        offerUnstampedInvoices();
        // Without a company and a year there is nothing to stamp the rows
        // with: the import is refused before it brings anything.
        try {
            m_stamping = std::make_unique<InvoiceStamping>(*m_module.connection, impMatricule, impExercice);
        } catch (const Error &e) {
            MessageBox::error(this, e.text());
            return;
        }
    }
    try {
        wizard->execute();
    } catch (const std::exception &e) {
        m_stamping.reset();
        MessageBox::error(this, textOf(e));
        return;
    }
    m_stamping.reset();

    if (!invoices) {
        try {
            reopenAtLast(m_module.clients);
        } catch (const Error &e) {
            MessageBox::error(this, e.text());
        }
        return;
    }
    try {
        DataSet *f = m_module.invoices;
        f->close();
        f->setSql(ImportedInvoicesSql);
        f->setParam(QStringLiteral("identifiant"), impMatricule);
        f->setParam(QStringLiteral("exercice"), impExercice);
        f->open();
        f->last();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
}

void ImportScreen::offerUnstampedInvoices()
{
    QList<UnstampedInvoices::Group> groups;
    try {
        groups = UnstampedInvoices::find(*m_module.connection);
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
        return;
    }
    if (groups.isEmpty())
        return;
    const int count = UnstampedInvoices::total(groups);
    const QString found = tr("Une importation interrompue a laissé %1 facture(s) sans société ni numéro d'ordre : elles "
                             "n'apparaissent dans aucun registre ni aucune déclaration.\n%2\n\n")
                              .arg(count)
                              .arg(UnstampedInvoices::describe(groups));
    int year = 0;
    try {
        if (tryStrToInt(impExercice, year)
            && MessageBox::confirm(this,
                found + tr("Voulez-vous les numéroter maintenant pour la société %1, exercice %2 ?").arg(impMatricule, impExercice),
                QMessageBox::No)) {
            const int stamped = UnstampedInvoices::stamp(*m_module.connection, impMatricule, impExercice);
            MessageBox::information(
                this, tr("%1 facture(s) numérotée(s) pour la société %2, exercice %3.").arg(stamped).arg(impMatricule, impExercice));
            return;
        }
        if (MessageBox::confirm(this,
                found + tr("Voulez-vous supprimer ces %1 facture(s) ? Elles ne pourront pas être récupérées.").arg(count),
                QMessageBox::No)) {
            const int removed = UnstampedInvoices::remove(*m_module.connection);
            MessageBox::information(this, tr("%1 facture(s) supprimée(s).").arg(removed));
        }
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
}

void ImportScreen::beforeImport(QObject *)
{
    copyBeforeImport();
    m_importAborted = false;
    if (m_stamping)
        m_stamping->begin(*invoicesTable);
    // Only rows written to the table can be taken back: the list and the
    // text grid keep theirs.
    const ImportDestination kind = wizard->importDestination;
    if (kind == qidDataSet || kind == qidDBGrid)
        m_work.begin();
}

void ImportScreen::rowImported(QObject *)
{
    const ImportEngine *source = wizard->runningSource();
    if (m_work.running() && source && source->recordState() != rsNone)
        m_work.rowWritten();
}

void ImportScreen::cancelAsked(QObject *, bool &Continue)
{
    m_importAborted = !Continue;
}

void ImportScreen::copyBeforeImport()
{
    // Invoices imported into the wrong company or year are undone from the
    // copy made first; without the copy nothing is imported. Rows that only
    // fill the list or the text grid touch no database.
    const ImportDestination kind = wizard->importDestination;
    if (!m_stamping || !m_module.backupSettings.copyBeforeImport || (kind != qidDataSet && kind != qidDBGrid))
        return;
    try {
        OperationProgress progress(this, tr("Copie de la base avant l'importation"));
        AutomaticCopies::make(*m_module.connection, Backup::Kind::BeforeImport, m_module.backupSettings, progress.callback());
    } catch (const Error &e) {
        throw Error(CopyFailedMessage.arg(e.text()));
    }
}

void ImportScreen::beforePost(ImportEngine *, ImportRow *Row, bool &Accept)
{
    if (!useBeforePostCheck->isChecked())
        return;
    for (int i = 0; i < Row->count(); ++i)
        if (Row->at(i)->value.compare(QLatin1String("Argentina"), Qt::CaseInsensitive) == 0) {
            Accept = false;
            return;
        }
}

void ImportScreen::commitNeeded(QObject *)
{
    // An invoice import is committed with its stamping, never before.
    if (m_stamping && m_stamping->running())
        return;
    if (m_work.running())
        m_work.commit();
    else
        m_module.connection->commitRetaining();
}

void ImportScreen::afterImport(QObject *)
{
    if (m_importAborted) {
        discardAbortedImport();
    } else {
        m_work.end();
        if (m_stamping && m_stamping->running()) {
            try {
                m_stamping->finish();
            } catch (const Error &e) {
                MessageBox::error(this, tr("Aucune des factures de cette importation n'a été enregistrée : %1").arg(e.text()));
            }
        }
    }
    // The grid shows what the table holds now, an abort's rows gone.
    DataSet *table = chosenTable();
    table->close();
    table->open();
}

void ImportScreen::discardAbortedImport()
{
    // Taken back at once: left in the shared transaction, the next commit
    // of any window, or the end of the program, would save them.
    const bool written = m_work.running();
    try {
        const int discarded = m_work.discard();
        if (m_stamping)
            m_stamping->abandon();
        if (written)
            wizard->showAbortOutcome(discarded, m_work.kept());
    } catch (const Error &e) {
        MessageBox::error(this, tr("L'importation interrompue n'a pas pu être annulée : %1").arg(e.text()));
    }
}
