#include "app/MainWindow.h"

#include "app/Calculator.h"
#include "core/TerminationSignals.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMap>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QResizeEvent>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace {

// The frame's background carries the program's title, under the child windows.
class FrameArea : public QMdiArea
{
public:
    explicit FrameArea(QWidget *parent)
        : QMdiArea(parent)
        , title(new QLabel(QStringLiteral("Kestra de la TVA"), viewport()))
    {
        title->setObjectName(QStringLiteral("titleLabel"));
        title->setAlignment(Qt::AlignCenter);
        QFont f = title->font();
        f.setPointSize(36);
        f.setBold(true);
        f.setItalic(true);
        title->setFont(f);
        title->setStyleSheet(QStringLiteral("color: rgba(255, 255, 255, 190); background: transparent;"));
        title->setAttribute(Qt::WA_TransparentForMouseEvents);
        setBackground(QColor(0x3a, 0x5f, 0x8a));
        title->lower();
    }

    QLabel *title;

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QMdiArea::resizeEvent(event);
        title->setGeometry(viewport()->rect());
        title->lower();
    }
};

QIcon calculatorIcon()
{
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(QColor(235, 235, 225));
    p.drawRoundedRect(QRectF(5, 2, 22, 28), 3, 3);
    p.setBrush(QColor(170, 210, 170));
    p.drawRect(QRectF(8, 5, 16, 6));
    p.setBrush(QColor(90, 90, 90));
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            p.drawRect(QRectF(8 + c * 6, 14 + r * 5, 4, 3));
    return QIcon(pm);
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , companyNameLabel(new QLabel(QStringLiteral("Ste"), this))
    , matriculeLabel(new QLabel(QStringLiteral("Matriculefiscal"), this))
    , yearLabel(new QLabel(QStringLiteral("Exercicecourant"), this))
    , titleLabel(nullptr)
    , declarationDueLabel(new QLabel(this))
    , m_mdi(nullptr)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Kestra de la TVA"));
    auto *area = new FrameArea(this);
    area->setObjectName(QStringLiteral("MDIClient"));
    m_mdi = area;
    titleLabel = area->title;
    setCentralWidget(m_mdi);
    buildMenu();
    buildToolBar();
    declarationDueLabel->setObjectName(QStringLiteral("declarationDueLabel"));
    declarationDueLabel->setContentsMargins(6, 0, 6, 0);
    statusBar()->setObjectName(QStringLiteral("statusBar"));
    statusBar()->addWidget(declarationDueLabel, 1);
    updateCommands();
    // Without a window manager "maximised" is only a wish: take the screen.
    if (QScreen *s = screen())
        setGeometry(s->availableGeometry());
}

QAction *MainWindow::menuItem(QMenu *menu, const QString &name, const QString &caption)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

void MainWindow::buildMenu()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));
    QMenu *parametres = bar->addMenu(QStringLiteral("Parametres"));
    parametres->setObjectName(QStringLiteral("settingsMenu"));
    QAction *init = menuItem(parametres, QStringLiteral("resetAction"), QStringLiteral("Initialisation"));
    QAction *socs = menuItem(parametres, QStringLiteral("companiesAction"), QStringLiteral("Sociétés"));

    QMenu *saisie = bar->addMenu(QStringLiteral("Saisie"));
    saisie->setObjectName(QStringLiteral("entryMenu"));
    saisie->addSeparator();
    QAction *factures = menuItem(saisie, QStringLiteral("invoicesAction"), QStringLiteral("Saisie des Factures"));
    saisie->addSeparator();
    QAction *clients = menuItem(saisie, QStringLiteral("clientsAction"), QStringLiteral("Clients"));
    saisie->addSeparator();
    // The import screen had only its tool button: from the keyboard it is
    // reached here or with its shortcut.
    QAction *importation = menuItem(saisie, QStringLiteral("importAction"), QStringLiteral("Importation"));
    importation->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));

    QMenu *declaration = bar->addMenu(QStringLiteral("Déclaration"));
    declaration->setObjectName(QStringLiteral("declarationMenu"));
    QAction *generation = menuItem(declaration, QStringLiteral("declarationAction"), QStringLiteral("Génération du Fichier"));

    QMenu *sortie = bar->addMenu(QStringLiteral("Sortie"));
    sortie->setObjectName(QStringLiteral("exitMenu"));
    QAction *quit = menuItem(sortie, QStringLiteral("quitAction"), QStringLiteral("Quitter Application"));

    // Two commands with one caption do one thing: the menu's "Initialisation"
    // opens the reset window like the tool button.
    connect(init, &QAction::triggered, this, &MainWindow::openReset);
    connect(socs, &QAction::triggered, this, &MainWindow::openCompanies);
    connect(factures, &QAction::triggered, this, &MainWindow::openInvoiceList);
    connect(clients, &QAction::triggered, this, &MainWindow::openClients);
    connect(importation, &QAction::triggered, this, &MainWindow::openImport);
    connect(generation, &QAction::triggered, this, &MainWindow::openDeclaration);
    connect(quit, &QAction::triggered, this, &MainWindow::quitProgram);
    m_commandControls << qMakePair(Command::Reset, static_cast<QObject *>(init))
                      << qMakePair(Command::Companies, static_cast<QObject *>(socs))
                      << qMakePair(Command::Invoices, static_cast<QObject *>(factures))
                      << qMakePair(Command::Clients, static_cast<QObject *>(clients))
                      << qMakePair(Command::Import, static_cast<QObject *>(importation))
                      << qMakePair(Command::Declaration, static_cast<QObject *>(generation));
}

QToolButton *MainWindow::toolButton(const QString &name, const QString &caption, const QIcon &icon)
{
    auto *b = new QToolButton(this);
    b->setObjectName(name);
    b->setText(caption);
    b->setIcon(icon);
    b->setIconSize(QSize(28, 28));
    b->setToolButtonStyle(caption.isEmpty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    b->setMinimumWidth(caption.isEmpty() ? 44 : 96);
    return b;
}

void MainWindow::buildToolBar()
{
    QToolBar *bar = addToolBar(QStringLiteral("ToolBar1"));
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->setMovable(false);
    bar->setFloatable(false);
    QStyle *s = style();
    struct ButtonDefinition
    {
        const char *name;
        const char *caption;
        QStyle::StandardPixmap icon;
        void (MainWindow::*handler)();
        int command; // -1: always enabled
    } buttons[] = {
        { "invoicesButton", "Saisie des Factures", QStyle::SP_FileDialogDetailedView, &MainWindow::openInvoiceList,
            int(Command::Invoices) },
        { "importButton", "Importation", QStyle::SP_ArrowDown, &MainWindow::openImport, int(Command::Import) },
        { "declarationButton", "Génération Fichier", QStyle::SP_DialogSaveButton, &MainWindow::openDeclaration, int(Command::Declaration) },
        { "companiesButton", "Paramètres Société", QStyle::SP_ComputerIcon, &MainWindow::openCompanies, int(Command::Companies) },
        { "clientsButton", "Clients", QStyle::SP_DirHomeIcon, &MainWindow::openClients, int(Command::Clients) },
        { "resetButton", "Initialisation", QStyle::SP_BrowserReload, &MainWindow::openReset, int(Command::Reset) },
    };
    for (const ButtonDefinition &button : buttons) {
        QToolButton *b = toolButton(QString::fromLatin1(button.name), QString::fromUtf8(button.caption), s->standardIcon(button.icon));
        connect(b, &QToolButton::clicked, this, button.handler);
        bar->addWidget(b);
        m_commandControls << qMakePair(static_cast<Command>(button.command), static_cast<QObject *>(b));
        if (button.handler == &MainWindow::openReset)
            addBackupMenu(b);
    }
    QToolButton *calc = toolButton(QStringLiteral("calculatorButton"), QString(), calculatorIcon());
    calc->setToolTip(QStringLiteral("Calculatrice"));
    connect(calc, &QToolButton::clicked, this, &MainWindow::openCalculator);
    bar->addWidget(calc);
    QToolButton *close = toolButton(QStringLiteral("closeButton"), QStringLiteral("Fermer"), s->standardIcon(QStyle::SP_DialogCloseButton));
    connect(close, &QToolButton::clicked, this, &MainWindow::closeProgram);
    bar->addWidget(close);

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("contextPanel"));
    auto *layout = new QHBoxLayout(panel);
    layout->setContentsMargins(24, 0, 12, 0);
    layout->setSpacing(28);
    companyNameLabel->setObjectName(QStringLiteral("companyNameLabel"));
    matriculeLabel->setObjectName(QStringLiteral("matriculeLabel"));
    yearLabel->setObjectName(QStringLiteral("yearLabel"));
    for (QLabel *l : { companyNameLabel, matriculeLabel, yearLabel }) {
        QFont f = l->font();
        f.setBold(true);
        f.setPointSize(f.pointSize() + 2);
        l->setFont(f);
        l->setStyleSheet(QStringLiteral("color: red;"));
        layout->addWidget(l);
    }
    layout->addStretch();
    bar->addWidget(panel);
}

void MainWindow::addBackupMenu(QToolButton *reset)
{
    // The backups' menu opens from the arrow of the reset's button, whose
    // work they make undoable, and the same two entries close the menu bar's
    // "Parametres", where a clerk looks for them from the keyboard; the tool
    // bar keeps its room for the working company.
    auto *menu = new QMenu(reset);
    menu->setObjectName(QStringLiteral("backupMenu"));
    menu->setTitle(QStringLiteral("Sauvegardes"));
    QAction *backup = menuItem(menu, QStringLiteral("backupAction"), QStringLiteral("Sauvegarder la base..."));
    QAction *restore = menuItem(menu, QStringLiteral("restoreAction"), QStringLiteral("Restaurer une sauvegarde..."));
    connect(backup, &QAction::triggered, this, [this] { run(Command::Backup); });
    connect(restore, &QAction::triggered, this, [this] { run(Command::Restore); });
    m_commandControls << qMakePair(Command::Backup, static_cast<QObject *>(backup))
                      << qMakePair(Command::Restore, static_cast<QObject *>(restore));
    if (auto *parametres = menuBar()->findChild<QMenu *>(QStringLiteral("settingsMenu"))) {
        parametres->addSeparator();
        parametres->addAction(backup);
        parametres->addAction(restore);
    }
    reset->setMenu(menu);
    reset->setPopupMode(QToolButton::MenuButtonPopup);
    reset->setToolTip(QStringLiteral("Initialisation ; la flèche : sauvegarder ou restaurer la base"));
}

void MainWindow::registerCommand(Command command, Opener opener)
{
    m_openers.insert(command, std::move(opener));
    updateCommands();
}

void MainWindow::setDeclarationStatusSource(DeclarationStatusSource source)
{
    m_declarationStatusSource = std::move(source);
    refreshDeclarationStatus();
}

void MainWindow::refreshDeclarationStatus()
{
    const DeclarationStatusSource &source = m_declarationStatusSource;
    if (curIdentifiant.isEmpty() || !source) {
        declarationDueLabel->clear();
        return;
    }
    const DeclarationStatus status = source(*this);
    declarationDueLabel->setText(status.text);
    QFont f = declarationDueLabel->font();
    f.setBold(status.late);
    declarationDueLabel->setFont(f);
    declarationDueLabel->setStyleSheet(status.late ? QStringLiteral("color: #b00000;") : QString());
}

void MainWindow::updateCommands()
{
    for (const auto &pair : m_commandControls) {
        const bool available = m_openers.contains(pair.first);
        if (auto *a = qobject_cast<QAction *>(pair.second))
            a->setEnabled(available);
        else if (auto *w = qobject_cast<QWidget *>(pair.second))
            w->setEnabled(available);
    }
}

void MainWindow::run(Command command)
{
    auto it = m_openers.constFind(command);
    if (it != m_openers.constEnd())
        (*it)(*this);
}

void MainWindow::openChild(QWidget *window, bool maximised)
{
    QMdiSubWindow *sub = m_mdi->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(windowIcon());
    if (maximised) {
        sub->showMaximized();
    } else {
        sub->resize(sub->sizeHint().expandedTo(window->minimumSizeHint()));
        sub->move(12, 12);
        sub->show();
    }
    window->setFocus();
}

void MainWindow::openSeparate(QWidget *window)
{
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->adjustSize();
    if (QScreen *s = QGuiApplication::primaryScreen()) {
        QRect r = window->frameGeometry();
        r.moveCenter(s->availableGeometry().center());
        window->move(r.topLeft());
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void MainWindow::openInvoiceList()
{
    run(Command::Invoices);
}

void MainWindow::openDeclaration()
{
    run(Command::Declaration);
}

void MainWindow::openCompanies()
{
    run(Command::Companies);
}

void MainWindow::openClients()
{
    run(Command::Clients);
}

void MainWindow::openImport()
{
    run(Command::Import);
}

void MainWindow::openReset()
{
    run(Command::Reset);
}

void MainWindow::openCalculator()
{
    // The calculator beside the working directory or an installed one; the
    // absence of any is not told.
    const QString path = Calculator::find();
    if (path.isEmpty())
        return;
    QFileInfo info(path);
    if (info.isExecutable()) {
        QProcess calculator;
        calculator.setProgram(info.absoluteFilePath());
        calculator.setChildProcessModifier(unblockTerminationSignalsInChild);
        calculator.startDetached();
    } else
        QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

void MainWindow::closeProgram()
{
    // The program ends at once: child windows go without their own close handling.
    QCoreApplication::exit(0);
}

void MainWindow::quitProgram()
{
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::exit(0);
}
