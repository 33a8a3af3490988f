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
    setObjectName(QStringLiteral("ClientPicker"));
    setWindowTitle(QStringLiteral("Tiers"));
    setModal(true);
    m_panel->setAttribute(Qt::WA_DeleteOnClose, false); // the dialog owns it
    bannerLabel = m_panel->bannerLabel;
    searchLabel = m_panel->searchLabel;
    searchEdit = m_panel->searchEdit;
    grid = m_panel->grid;

    grid->setDataSet(tiers);
    grid->setColumns({ clientColumn("CODE", "Code", 70), clientColumn("IDENTIFIANT", "Identifiant", 120),
        clientColumn("NOMBENEFICIAIRE", "Nom ou Raison Sociale", 300) });
    grid->setTabKeyNavigation(false);
    grid->installEventFilter(this);
    connect(grid, &DBGrid::gridDoubleClicked, this, &ClientPicker::chooseCurrentRow);
    connect(grid, &DBGrid::titleClicked, this, &ClientPicker::sortByColumn);
    connect(searchEdit, &QLineEdit::textChanged, this, &ClientPicker::search);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_panel);
    resize(580, 440);
    openList();
    grid->setFocus();
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

void ClientPicker::openList()
{
    m_panel->reopen(m_tiers, ClientStatements::pickerOpening());
}

void ClientPicker::chooseCurrentRow()
{
    accept();
}

void ClientPicker::sortByColumn(int column)
{
    const GridColumn &c = grid->dataModel()->columns().at(column);
    grid->setAllColumnsColor(ListWindow::LightColour);
    searchLabel->setText(c.title);
    if (m_panel->reopen(m_tiers, ClientStatements::sortedBy(c.fieldName)))
        m_panel->paintSortColumn(column);
}

void ClientPicker::search()
{
    if (const auto sql = ClientStatements::pickerSearch(searchLabel->text(), searchEdit->text()))
        m_panel->reopen(m_tiers, *sql);
}

bool ClientPicker::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a row chooses it, as a double-click does.
    if (watched == grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            chooseCurrentRow();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
