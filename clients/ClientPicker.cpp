#include "clients/ClientPicker.h"

#include "clients/ClientColumns.h"
#include "clients/ClientStatements.h"
#include "ui/ListWindow.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

// The banner, search bar and grid every list window has, inside the dialog.
class ClientPicker::Panel : public ListWindow
{
public:
    using ListWindow::ListWindow;
    using ListWindow::paintSortColumn;
    using ListWindow::reopen;
};

ClientPicker::ClientPicker(DataSet *tiers, QWidget *parent)
    : QDialog(parent)
    , m_panel(new Panel(QStringLiteral("<<<  Liste des Tiers >>>"), this))
    , m_tiers(tiers)
{
    setObjectName(QStringLiteral("Frmtiersselect"));
    setWindowTitle(QStringLiteral("Tiers"));
    setModal(true);
    m_panel->setAttribute(Qt::WA_DeleteOnClose, false); // the dialog owns it
    Panel1 = m_panel->Panel1;
    LabChpRech = m_panel->LabChpRech;
    eValChampRech = m_panel->eValChampRech;
    DBGrid1 = m_panel->DBGrid1;

    DBGrid1->setDataSet(tiers);
    DBGrid1->setColumns({ clientColumn("CODE", "Code", 70), clientColumn("IDENTIFIANT", "Identifiant", 120),
        clientColumn("NOMBENEFICIAIRE", "Nom ou Raison Sociale", 300) });
    DBGrid1->setTabKeyNavigation(false);
    DBGrid1->installEventFilter(this);
    connect(DBGrid1, &DBGrid::gridDoubleClicked, this, &ClientPicker::DBGrid1DblClick);
    connect(DBGrid1, &DBGrid::titleClicked, this, &ClientPicker::DBGrid1TitleClick);
    connect(eValChampRech, &QLineEdit::textChanged, this, &ClientPicker::eValChampRechChange);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_panel);
    resize(580, 440);
    FormCreate();
    DBGrid1->setFocus();
}

void ClientPicker::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Centred on the screen, whatever window asked for it.
    if (QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect r = frameGeometry();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

void ClientPicker::FormCreate()
{
    m_panel->reopen(m_tiers, ClientStatements::pickerOpening());
}

void ClientPicker::DBGrid1DblClick()
{
    accept();
}

void ClientPicker::DBGrid1TitleClick(int column)
{
    const GridColumn &c = DBGrid1->dataModel()->columns().at(column);
    DBGrid1->setAllColumnsColor(ListWindow::LightColour);
    LabChpRech->setText(c.title);
    if (m_panel->reopen(m_tiers, ClientStatements::sortedBy(c.fieldName)))
        m_panel->paintSortColumn(column);
}

void ClientPicker::eValChampRechChange()
{
    if (const auto sql = ClientStatements::pickerSearch(LabChpRech->text(), eValChampRech->text()))
        m_panel->reopen(m_tiers, *sql);
}

bool ClientPicker::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a row chooses it, as a double-click does.
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            DBGrid1DblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
