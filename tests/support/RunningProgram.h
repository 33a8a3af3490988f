#pragma once

#include "app/CompanySelection.h"
#include "app/MainWindow.h"
#include "app/Windows.h"
#include "data/DataModule.h"
#include "invoices/windows/InvoiceForm.h"
#include "invoices/windows/InvoiceList.h"
#include "tests/support/ScopedAnswers.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

// The program as start-up makes it, for tests that go through it as an
// operator does: the data module on a database, the main window with every
// command wired, message boxes answered OK (or as `answer` says). The
// windows go before the data module whose data sets they show. For test
// programs that link kestra_app.
struct RunningProgram
{
    // What the path names: the database itself, or the configuration file
    // that start-up reads (then the module opens the database it names).
    enum class Path { Database, Configuration };

    ScopedAutoAnswer answer;
    DataModule module;
    std::unique_ptr<MainWindow> owner;
    MainWindow *main = nullptr;

    explicit RunningProgram(const QString &path, Path kind = Path::Database, QMessageBox::StandardButton boxAnswer = QMessageBox::Ok)
        : answer(boxAnswer)
    {
        MessageBox::resetRecord();
        if (kind == Path::Configuration)
            module.openDatabase(path);
        else
            module.connection->setDatabaseName(path);
        owner = std::make_unique<MainWindow>();
        main = owner.get();
        registerWindows(*main, module);
        main->show();
    }

    // The start-up selection, its first company double-clicked.
    void chooseFirstCompany()
    {
        CompanySelection *selection = openCompanySelection(*main, module);
        emit selection->grid->gridDoubleClicked();
    }
};

// Types into the focused control (its text replaced), then Enter.
inline void typeAndEnter(const QString &text)
{
    QWidget *w = QApplication::focusWidget();
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->selectAll();
    if (!text.isEmpty())
        QTest::keyClicks(w, text);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QApplication::processEvents();
}

// What the operator types into a new invoice, field after field: the
// quarter, the order number as numbered, a client code and its six fields
// as the lookup fills them, the number, the date, the price, each rate
// with its computed amount.
struct TypedInvoice
{
    QString quarter, clientCode, number, date, price, fodecRate, dutyRate, vatRate;
};

// Opens the invoice list, adds an invoice and types it from the keyboard,
// Enter after each field, up to OK, which has the focus then unless the
// form stopped somewhere; null when no form opened. *number: the order
// number the form showed.
inline InvoiceForm *typeInvoiceUpToOk(RunningProgram &program, const TypedInvoice &typed, int *number = nullptr)
{
    program.main->openInvoiceList();
    auto *list = program.main->findChild<InvoiceList *>();
    if (!list)
        return nullptr;
    list->addButton->click();
    InvoiceForm *form = list->lastForm();
    if (!form)
        return nullptr;
    QApplication::setActiveWindow(program.main);
    form->start();
    if (number)
        *number = program.module.invoices->fieldByName(QStringLiteral("NUMEROORDRE"))->asInteger();
    for (const QString &text : { typed.quarter, QString(), typed.clientCode, QString(), QString(), QString(), QString(), QString(),
             QString(), typed.number, typed.date, typed.price, typed.fodecRate, QString(), typed.dutyRate, QString(), typed.vatRate,
             QString() })
        typeAndEnter(text);
    return form;
}
