#pragma once

#include "app/MainWindow.h"
#include "data/DataModule.h"
#include "tests/support/RunningProgram.h"
#include "tests/support/TestDatabase.h"

#include <QString>
#include <QVariant>

class CompanyForm;
class CompanyList;

// A fresh database, the data module on it and the main window with the
// program's commands, as the program runs them. Rows are put in the database
// before the module first reads it; every message box is answered OK.
struct CompaniesFixture
{
    CompaniesFixture();
    ~CompaniesFixture();

    // A committed company row.
    void addCompany(const QString &identifiant, const QString &raisonSociale, const QString &cle = QStringLiteral("A"));
    // What the program's own transaction sees.
    QVariant scalar(const QString &sql);
    // What another program sees: committed work only.
    QVariant committedScalar(const QString &sql);

    // The command of the menu item "Sociétés".
    CompanyList *openList();
    // The company form opened last.
    CompanyForm *form();

    TestDatabase db;
    // No box may wait for a click; boxes are shown again after the test.
    RunningProgram program { db.path() };
    DataModule &module = program.module;
    MainWindow &main = *program.main;
};

// Answers the password dialog that the next deletion shows: types the text,
// then Enter (OK) or Escape (Annuler).
void answerPassword(const QString &typed, bool ok);
