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
        title->setObjectName(QStringLiteral("Label1"));
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
    , Ste(new QLabel(QStringLiteral("Ste"), this))
    , Matriculefiscal(new QLabel(QStringLiteral("Matriculefiscal"), this))
    , Exercicecourant(new QLabel(QStringLiteral("Exercicecourant"), this))
    , Label1(nullptr)
    , EcheanceDeclaration(new QLabel(this))
    , m_mdi(nullptr)
{
    setObjectName(QStringLiteral("Frmmain"));
    setWindowTitle(QStringLiteral("Kestra de la TVA"));
    auto *area = new FrameArea(this);
    area->setObjectName(QStringLiteral("MDIClient"));
    m_mdi = area;
    Label1 = area->title;
    setCentralWidget(m_mdi);
    buildMenu();
    buildToolBar();
    EcheanceDeclaration->setObjectName(QStringLiteral("EcheanceDeclaration"));
    EcheanceDeclaration->setContentsMargins(6, 0, 6, 0);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(EcheanceDeclaration, 1);
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
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu *parametres = bar->addMenu(QStringLiteral("Parametres"));
    parametres->setObjectName(QStringLiteral("Parametres1"));
    QAction *init = menuItem(parametres, QStringLiteral("Initialisation1"), QStringLiteral("Initialisation"));
    QAction *socs = menuItem(parametres, QStringLiteral("Socits1"), QStringLiteral("Sociétés"));

    QMenu *saisie = bar->addMenu(QStringLiteral("Saisie"));
    saisie->setObjectName(QStringLiteral("Saisie1"));
    saisie->addSeparator();
    QAction *factures = menuItem(saisie, QStringLiteral("SaisiedesRetenuessurSalaires1"), QStringLiteral("Saisie des Factures"));
    saisie->addSeparator();
    QAction *clients = menuItem(saisie, QStringLiteral("IdentificationdesTiers1"), QStringLiteral("Clients"));
    saisie->addSeparator();
    // The import screen had only its tool button: from the keyboard it is
    // reached here or with its shortcut.
    QAction *importation = menuItem(saisie, QStringLiteral("Importation1"), QStringLiteral("Importation"));
    importation->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));

    QMenu *declaration = bar->addMenu(QStringLiteral("Déclaration"));
    declaration->setObjectName(QStringLiteral("Dclaration1"));
    QAction *generation
        = menuItem(declaration, QStringLiteral("GnrationdesFichiersdelaDclaration1"), QStringLiteral("Génération du Fichier"));

    QMenu *sortie = bar->addMenu(QStringLiteral("Sortie"));
    sortie->setObjectName(QStringLiteral("Sortie1"));
    QAction *quit = menuItem(sortie, QStringLiteral("QuitterApplication1"), QStringLiteral("Quitter Application"));

    // Two commands with one caption do one thing: the menu's "Initialisation"
    // opens the reset window like the tool button.
    connect(init, &QAction::triggered, this, &MainWindow::ToolButton3Click);
    connect(socs, &QAction::triggered, this, &MainWindow::Socits1Click);
    connect(factures, &QAction::triggered, this, &MainWindow::SaisiedesRetenuessurSalaires1Click);
    connect(clients, &QAction::triggered, this, &MainWindow::IdentificationdesTiers1Click);
    connect(importation, &QAction::triggered, this, &MainWindow::ToolButton8Click);
    connect(generation, &QAction::triggered, this, &MainWindow::GnrationdesFichiersdelaDclaration1Click);
    connect(quit, &QAction::triggered, this, &MainWindow::QuitterApplication1Click);
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
    bar->setObjectName(QStringLiteral("ToolBar1"));
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
        { "ToolButton1", "Saisie des Factures", QStyle::SP_FileDialogDetailedView, &MainWindow::SaisiedesRetenuessurSalaires1Click,
            int(Command::Invoices) },
        { "ToolButton8", "Importation", QStyle::SP_ArrowDown, &MainWindow::ToolButton8Click, int(Command::Import) },
        { "ToolButton2", "Génération Fichier", QStyle::SP_DialogSaveButton, &MainWindow::GnrationdesFichiersdelaDclaration1Click,
            int(Command::Declaration) },
        { "ToolButton4", "Paramètres Société", QStyle::SP_ComputerIcon, &MainWindow::Socits1Click, int(Command::Companies) },
        { "ToolButton5", "Clients", QStyle::SP_DirHomeIcon, &MainWindow::IdentificationdesTiers1Click, int(Command::Clients) },
        { "ToolButton3", "Initialisation", QStyle::SP_BrowserReload, &MainWindow::ToolButton3Click, int(Command::Reset) },
    };
    for (const ButtonDefinition &button : buttons) {
        QToolButton *b = toolButton(QString::fromLatin1(button.name), QString::fromUtf8(button.caption), s->standardIcon(button.icon));
        connect(b, &QToolButton::clicked, this, button.handler);
        bar->addWidget(b);
        m_commandControls << qMakePair(static_cast<Command>(button.command), static_cast<QObject *>(b));
        if (button.handler == &MainWindow::ToolButton3Click)
            addBackupMenu(b);
    }
    QToolButton *calc = toolButton(QStringLiteral("ToolButton17"), QString(), calculatorIcon());
    calc->setToolTip(QStringLiteral("Calculatrice"));
    connect(calc, &QToolButton::clicked, this, &MainWindow::ToolButton17Click);
    bar->addWidget(calc);
    QToolButton *close = toolButton(QStringLiteral("ToolButton6"), QStringLiteral("Fermer"), s->standardIcon(QStyle::SP_DialogCloseButton));
    connect(close, &QToolButton::clicked, this, &MainWindow::ToolButton6Click);
    bar->addWidget(close);

    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto *layout = new QHBoxLayout(panel);
    layout->setContentsMargins(24, 0, 12, 0);
    layout->setSpacing(28);
    for (QLabel *l : { Ste, Matriculefiscal, Exercicecourant }) {
        l->setObjectName(l->text());
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
    menu->setObjectName(QStringLiteral("Sauvegardes1"));
    menu->setTitle(QStringLiteral("Sauvegardes"));
    QAction *backup = menuItem(menu, QStringLiteral("Sauvegarder1"), QStringLiteral("Sauvegarder la base..."));
    QAction *restore = menuItem(menu, QStringLiteral("Restaurer1"), QStringLiteral("Restaurer une sauvegarde..."));
    connect(backup, &QAction::triggered, this, [this] { run(Command::Backup); });
    connect(restore, &QAction::triggered, this, [this] { run(Command::Restore); });
    m_commandControls << qMakePair(Command::Backup, static_cast<QObject *>(backup))
                      << qMakePair(Command::Restore, static_cast<QObject *>(restore));
    if (auto *parametres = menuBar()->findChild<QMenu *>(QStringLiteral("Parametres1"))) {
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
        EcheanceDeclaration->clear();
        return;
    }
    const DeclarationStatus status = source(*this);
    EcheanceDeclaration->setText(status.text);
    QFont f = EcheanceDeclaration->font();
    f.setBold(status.late);
    EcheanceDeclaration->setFont(f);
    EcheanceDeclaration->setStyleSheet(status.late ? QStringLiteral("color: #b00000;") : QString());
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

void MainWindow::SaisiedesRetenuessurSalaires1Click()
{
    run(Command::Invoices);
}

void MainWindow::GnrationdesFichiersdelaDclaration1Click()
{
    run(Command::Declaration);
}

void MainWindow::Socits1Click()
{
    run(Command::Companies);
}

void MainWindow::IdentificationdesTiers1Click()
{
    run(Command::Clients);
}

void MainWindow::ToolButton8Click()
{
    run(Command::Import);
}

void MainWindow::ToolButton3Click()
{
    run(Command::Reset);
}

void MainWindow::ToolButton17Click()
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

void MainWindow::ToolButton6Click()
{
    // The program ends at once: child windows go without their own close handling.
    QCoreApplication::exit(0);
}

void MainWindow::QuitterApplication1Click()
{
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::exit(0);
}
