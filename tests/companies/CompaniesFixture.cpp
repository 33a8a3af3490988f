#include "tests/companies/CompaniesFixture.h"

#include "companies/CompanyForm.h"
#include "companies/CompanyList.h"
#include "companies/PasswordDialog.h"
#include "data/Query.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

CompaniesFixture::CompaniesFixture()
{
    QApplication::setActiveWindow(&main);
}

CompaniesFixture::~CompaniesFixture()
{
    // Windows go before the data sets they show.
    for (QMdiSubWindow *sub : main.mdiArea()->subWindowList())
        delete sub;
}

void CompaniesFixture::addCompany(const QString &identifiant, const QString &raisonSociale, const QString &cle)
{
    Query q(db.connection(),
        QStringLiteral("insert into SOCIETE (IDENTIFIANT, CLE, CATEGORIE, ETABSECONDAIRE, RAISON_SOCIALE, ACTIVEON) "
                       "values (:id, :cle, 'M', '000', :nom, 'O')"));
    q.setParam(QStringLiteral("id"), identifiant);
    q.setParam(QStringLiteral("cle"), cle);
    q.setParam(QStringLiteral("nom"), raisonSociale);
    q.execute();
    db.connection().commitRetaining();
}

QVariant CompaniesFixture::scalar(const QString &sql)
{
    Query q(*module.connection, sql);
    q.open();
    Row row;
    QVariant v = q.fetch(row) ? row.value(0) : QVariant();
    q.close();
    return v;
}

QVariant CompaniesFixture::committedScalar(const QString &sql)
{
    auto other = db.otherConnection();
    Query q(*other, sql);
    q.open();
    Row row;
    QVariant v = q.fetch(row) ? row.value(0) : QVariant();
    q.close();
    return v;
}

CompanyList *CompaniesFixture::openList()
{
    main.openCompanies();
    QMdiSubWindow *sub = main.mdiArea()->activeSubWindow();
    return sub ? qobject_cast<CompanyList *>(sub->widget()) : nullptr;
}

CompanyForm *CompaniesFixture::form()
{
    const QList<CompanyForm *> forms = main.findChildren<CompanyForm *>();
    for (CompanyForm *f : forms)
        if (f->isVisible())
            return f;
    return nullptr;
}

void answerPassword(const QString &typed, bool ok)
{
    QTimer::singleShot(0, [typed, ok] {
        PasswordDialog *dialog = qobject_cast<PasswordDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no password dialog";
            return;
        }
        EXPECT_TRUE(dialog->windowTitle().isEmpty());
        EXPECT_EQ(dialog->passwordEdit->echoMode(), QLineEdit::Password);
        EXPECT_EQ(dialog->focusWidget(), dialog->passwordEdit);
        dialog->passwordEdit->setText(typed); // blanks and control characters as they are
        QTest::keyClick(dialog->passwordEdit, ok ? Qt::Key_Return : Qt::Key_Escape);
    });
}
