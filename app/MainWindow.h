#pragma once

#include "core/WorkingContext.h"

#include <QMainWindow>
#include <QMap>

#include <functional>

class QAction;
class QLabel;
class QMdiArea;
class QToolButton;
class QWidget;

// The frame of the program: menu, tool bar, the panel of the working context
// and the child windows. The working context's twelve texts are public
// members (inherited), empty until a company is chosen.
class MainWindow : public QMainWindow, public WorkingContext
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);

    QMdiArea *mdiArea() const { return m_mdi; }

    // A new child window inside the frame, maximised (or at its own size).
    void openChild(QWidget *window, bool maximised = true);
    // A separate window, centred on the screen.
    static void openSeparate(QWidget *window);

    // Each command opens a new instance of its window; a command whose window
    // does not exist in this build stays disabled.
    enum class Command { Invoices, Import, Declaration, Companies, Clients, Reset, Backup, Restore };
    using Opener = std::function<void(MainWindow &)>;
    void registerCommand(Command command, Opener opener);

    // The next declaration due for the working company, in the status bar:
    // its text, and whether its deadline has passed.
    struct DeclarationStatus
    {
        QString text;
        bool late = false;
    };
    using DeclarationStatusSource = std::function<DeclarationStatus(const WorkingContext &)>;
    void setDeclarationStatusSource(DeclarationStatusSource source);
    // Reads it again: when a company is chosen, when a declaration was written.
    void refreshDeclarationStatus();

    // The working company's name, tax identifier and year; until a company
    // is chosen they read "Ste", "Matriculefiscal" and "Exercicecourant".
    QLabel *companyNameLabel;
    QLabel *matriculeLabel;
    QLabel *yearLabel;
    QLabel *titleLabel;
    QLabel *declarationDueLabel;

public slots:
    void openInvoiceList();
    void openDeclaration();
    void openCompanies();
    void openClients();
    void openImport();
    void openReset();
    void openCalculator();
    void closeProgram();
    void quitProgram();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenu();
    void buildToolBar();
    void addBackupMenu(QToolButton *reset);
    void run(Command command);
    void updateCommands();
    QAction *menuItem(QMenu *menu, const QString &name, const QString &caption);
    QToolButton *toolButton(const QString &name, const QString &caption, const QIcon &icon);

    QMdiArea *m_mdi;
    QList<QPair<Command, QObject *>> m_commandControls;
    QMap<Command, Opener> m_openers;
    DeclarationStatusSource m_declarationStatusSource;
};
