#include "import/screen/ImportScreen.h"

#include "core/Conversion.h"
#include "core/Error.h"
#include "data/AutomaticCopies.h"
#include "data/DataModule.h"
#include "data/DataSet.h"
#include "import/template/ImportScreenWizard.h"
#include "import/engine/ImportTableViews.h"
#include "invoices/InvoiceStamping.h"
#include "invoices/UnstampedInvoices.h"
#include "import/screen/ImportDestinationWidgets.h"
#include "import/wizard/ImportWizard.h"
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
    , IBTable1(new DataSet(*module.ivorande, QStringLiteral("IBTable1"), this))
    , IBTable2(new DataSet(*module.ivorande, QStringLiteral("IBTable2"), this))
    , IBQuery1(*module.ivorande)
    , Label1(new QLabel(tr("Table à Importer"), this))
    , ComboBox1(new QComboBox(this))
    , chbUseBeforePost(new QCheckBox(tr("Use before post event"), this))
    , BitBtn1(new QPushButton(tr("Vider la Table"), this))
    , BitBtn2(new QPushButton(tr("Imporation des Données"), this))
    , pcDestinations(new QTabWidget(this))
    , dgrDataSet(new ::DBGrid)
    , DBGrid(new ImportDataGrid)
    , ListView(new ImportListView)
    , StringGrid(new ImportStringGrid)
    , DataImportWizard1(new ImportWizard(this))
    , m_module(module)
    , m_context(context)
    , m_work(*module.ivorande)
{
    setObjectName(QStringLiteral("importScreen"));
    setWindowTitle(tr("Importation"));
    setupInvoiceTableView(*IBTable1);
    setupClientTableView(*IBTable2);
    for (DataSet *table : { IBTable1, IBTable2 })
        for (const char *amount : { "PRIXVENTE", "MONTANTFODEC", "MONTANTDROITCONSOMMATION", "MONTANTTVA" })
            table->setDisplayFormat(QString::fromLatin1(amount), DataModule::AmountMask);

    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({ Clients, Factures });
    ComboBox1->setToolTip(tr("Veuillez importer les tables dans leur Ordre"));
    Label1->setBuddy(ComboBox1);
    chbUseBeforePost->setObjectName(QStringLiteral("chbUseBeforePost"));
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));

    pcDestinations->setObjectName(QStringLiteral("pcDestinations"));
    dgrDataSet->setObjectName(QStringLiteral("dgrDataSet"));
    DBGrid->setObjectName(tr("DBGrid"));
    ListView->setObjectName(tr("ListView"));
    StringGrid->setObjectName(tr("StringGrid"));
    pcDestinations->addTab(dgrDataSet, tr("Dataset"));
    pcDestinations->addTab(DBGrid, tr("DBGrid"));
    pcDestinations->addTab(ListView, tr("ListView"));
    pcDestinations->addTab(StringGrid, tr("StringGrid"));
    pcDestinations->setCurrentIndex(TabDBGrid);
    // Tab leaves a grid for the buttons, as in the registers' lists; the
    // arrows move between its cells.
    for (QAbstractItemView *grid : std::initializer_list<QAbstractItemView *> { dgrDataSet, DBGrid, ListView, StringGrid }) {
        grid->setTabKeyNavigation(false);
        grid->setItemDelegate(new CurrentCellDelegate(grid));
    }

    auto *panel = new QHBoxLayout;
    panel->addWidget(Label1);
    panel->addWidget(ComboBox1);
    panel->addSpacing(12);
    panel->addWidget(chbUseBeforePost);
    panel->addStretch();
    panel->addWidget(BitBtn1);
    panel->addWidget(BitBtn2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(panel);
    layout->addWidget(pcDestinations, 1);

    DataImportWizard1->setObjectName(QStringLiteral("DataImportWizard1"));
    // What needs no window comes from import/, where kestra-cli import takes it too.
    setupImportScreenWizard(*DataImportWizard1);
    DataImportWizard1->dbGrid = DBGrid;
    DataImportWizard1->listView = ListView;
    DataImportWizard1->stringGrid = StringGrid;
    DataImportWizard1->OnBeforePost
        = [this](ImportEngine *sender, ImportRow *row, bool &accept) { DataImportWizard1BeforePost(sender, row, accept); };
    DataImportWizard1->OnBeforeImport = [this](QObject *sender) { DataImportWizard1BeforeImport(sender); };
    DataImportWizard1->OnImportRecord = [this](QObject *sender) { DataImportWizard1ImportRecord(sender); };
    DataImportWizard1->OnImportCancel = [this](QObject *sender, bool &goOn) { DataImportWizard1ImportCancel(sender, goOn); };
    DataImportWizard1->OnNeedCommit = [this](QObject *sender) { DataImportWizard1NeedCommit(sender); };
    DataImportWizard1->OnAfterImport = [this](QObject *sender) { DataImportWizard1AfterImport(sender); };
    showTable(IBTable2);

    // Connected once the window shows the "DBGrid" tab: opening does not
    // choose the destination kind.
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &ImportScreen::ComboBox1Change);
    connect(pcDestinations, &QTabWidget::currentChanged, this, &ImportScreen::pcDestinationsChange);
    connect(BitBtn1, &QPushButton::clicked, this, &ImportScreen::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &ImportScreen::BitBtn2Click);
    FormCreate();
}

ImportScreen::~ImportScreen()
{
    FormDestroy();
}

QSize ImportScreen::sizeHint() const
{
    return QSize(1000, 560);
}

void ImportScreen::FormCreate()
{
    try {
        IBTable2->open();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
    const QStringList captions
        = { QStringLiteral("CODE"), QStringLiteral("IDENTIFIANT"), QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("ADRESSE") };
    for (int c = 0; c < captions.size(); ++c)
        StringGrid->setCell(c, 0, captions[c]);
    DataImportWizard1->dataSet = IBTable2;
    IBQuery1.setSql(ClearClientsSql);
    readContext();
    try {
        reopenAtLast(m_module.Itiers);
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
}

void ImportScreen::FormDestroy()
{
    IBTable1->close();
}

void ImportScreen::readContext()
{
    impMatricule = m_context.curIdentifiant + m_context.curCle + m_context.curCategorie + m_context.curEtab;
    impExercice = m_context.curExercice;
}

bool ImportScreen::InvoicesChosen() const
{
    return ComboBox1->currentText() == Factures;
}

DataSet *ImportScreen::ChosenTable() const
{
    return InvoicesChosen() ? IBTable1 : IBTable2;
}

void ImportScreen::showTable(DataSet *table)
{
    DataSource1 = table;
    QList<GridColumn> columns = table == IBTable1 ? invoiceColumns() : clientColumns();
    // The titles are the column names: each column is at least as wide as its own.
    for (GridColumn &c : columns)
        c.width = std::max(c.width, dgrDataSet->horizontalHeader()->fontMetrics().horizontalAdvance(c.title) + 12);
    for (::DBGrid *grid : { dgrDataSet, static_cast<::DBGrid *>(DBGrid) }) {
        grid->setDataSet(table);
        grid->setColumns(columns);
    }
}

void ImportScreen::ComboBox1Change()
{
    DataSet *table = ChosenTable();
    try {
        table->open();
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
    showTable(table);
    IBQuery1.close();
    IBQuery1.setSql(InvoicesChosen() ? ClearInvoicesSql : ClearClientsSql);
    DataImportWizard1->dataSet = table;
}

void ImportScreen::pcDestinationsChange()
{
    static constexpr ImportDestination Kinds[] = { qidDataSet, qidDBGrid, qidListView, qidStringGrid };
    const int tab = pcDestinations->currentIndex();
    if (tab >= 0 && tab < int(std::size(Kinds)))
        DataImportWizard1->importDestination = Kinds[tab];
}

void ImportScreen::BitBtn1Click()
{
    switch (pcDestinations->currentIndex()) {
    case TabDataSet:
    case TabDBGrid:
        // The statement empties the table for every company and year.
        if (!MessageBox::confirm(this, tr(ClearQuestion), QMessageBox::No))
            return;
        try {
            IBQuery1.execute();
            // A full commit ends the transaction, which closes every data
            // set: the chosen table is shown again, emptied.
            m_module.ivorande->commit();
            IBTable1->open();
            ChosenTable()->open();
        } catch (const Error &e) {
            MessageBox::error(this, e.text());
        }
        break;
    case TabListView:
        ListView->ClearItems();
        break;
    case TabStringGrid:
        StringGrid->ClearCells();
        break;
    }
}

void ImportScreen::BitBtn2Click()
{
    readContext();
    const bool invoices = InvoicesChosen();
    DataImportWizard1->dataSet = ChosenTable();
    DataImportWizard1->requiredColumns = invoices ? InvoiceStamping::requiredColumns() : QStringList();
    if (invoices) {
        offerUnstampedInvoices();
        // Without a company and a year there is nothing to stamp the rows
        // with: the import is refused before it brings anything.
        try {
            m_stamping = std::make_unique<InvoiceStamping>(*m_module.ivorande, impMatricule, impExercice);
        } catch (const Error &e) {
            MessageBox::error(this, e.text());
            return;
        }
    }
    try {
        DataImportWizard1->Execute();
    } catch (const std::exception &e) {
        m_stamping.reset();
        MessageBox::error(this, textOf(e));
        return;
    }
    m_stamping.reset();

    if (!invoices) {
        try {
            reopenAtLast(m_module.Itiers);
        } catch (const Error &e) {
            MessageBox::error(this, e.text());
        }
        return;
    }
    try {
        DataSet *f = m_module.ifacture;
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
        groups = UnstampedInvoices::find(*m_module.ivorande);
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
                found
                    + tr("Voulez-vous les numéroter maintenant pour la société %1, exercice %2 ?")
                          .arg(impMatricule, impExercice),
                QMessageBox::No)) {
            const int stamped = UnstampedInvoices::stamp(*m_module.ivorande, impMatricule, impExercice);
            MessageBox::information(this,
                tr("%1 facture(s) numérotée(s) pour la société %2, exercice %3.").arg(stamped).arg(impMatricule, impExercice));
            return;
        }
        if (MessageBox::confirm(this,
                found + tr("Voulez-vous supprimer ces %1 facture(s) ? Elles ne pourront pas être récupérées.").arg(count),
                QMessageBox::No)) {
            const int removed = UnstampedInvoices::remove(*m_module.ivorande);
            MessageBox::information(this, tr("%1 facture(s) supprimée(s).").arg(removed));
        }
    } catch (const Error &e) {
        MessageBox::error(this, e.text());
    }
}

void ImportScreen::DataImportWizard1BeforeImport(QObject *)
{
    copyBeforeImport();
    m_importAborted = false;
    if (m_stamping)
        m_stamping->begin(*IBTable1);
    // Only rows written to the table can be taken back: the list and the
    // text grid keep theirs.
    const ImportDestination kind = DataImportWizard1->importDestination;
    if (kind == qidDataSet || kind == qidDBGrid)
        m_work.begin();
}

void ImportScreen::DataImportWizard1ImportRecord(QObject *)
{
    const ImportEngine *source = DataImportWizard1->RunningSource();
    if (m_work.running() && source && source->recordState() != rsNone)
        m_work.rowWritten();
}

void ImportScreen::DataImportWizard1ImportCancel(QObject *, bool &Continue)
{
    m_importAborted = !Continue;
}

void ImportScreen::copyBeforeImport()
{
    // Invoices imported into the wrong company or year are undone from the
    // copy made first; without the copy nothing is imported. Rows that only
    // fill the list or the text grid touch no database.
    const ImportDestination kind = DataImportWizard1->importDestination;
    if (!m_stamping || !m_module.backupSettings.copyBeforeImport || (kind != qidDataSet && kind != qidDBGrid))
        return;
    try {
        OperationProgress progress(this, tr("Copie de la base avant l'importation"));
        AutomaticCopies::make(*m_module.ivorande, Backup::Kind::BeforeImport, m_module.backupSettings, progress.callback());
    } catch (const Error &e) {
        throw Error(CopyFailedMessage.arg(e.text()));
    }
}

void ImportScreen::DataImportWizard1BeforePost(ImportEngine *, ImportRow *Row, bool &Accept)
{
    if (!chbUseBeforePost->isChecked())
        return;
    for (int i = 0; i < Row->count(); ++i)
        if (Row->at(i)->value.compare(QLatin1String("Argentina"), Qt::CaseInsensitive) == 0) {
            Accept = false;
            return;
        }
}

void ImportScreen::DataImportWizard1NeedCommit(QObject *)
{
    // An invoice import is committed with its stamping, never before.
    if (m_stamping && m_stamping->running())
        return;
    if (m_work.running())
        m_work.commit();
    else
        m_module.ivorande->commitRetaining();
}

void ImportScreen::DataImportWizard1AfterImport(QObject *)
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
    DataSet *table = ChosenTable();
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
            DataImportWizard1->ShowAbortOutcome(discarded, m_work.kept());
    } catch (const Error &e) {
        MessageBox::error(this, tr("L'importation interrompue n'a pas pu être annulée : %1").arg(e.text()));
    }
}
