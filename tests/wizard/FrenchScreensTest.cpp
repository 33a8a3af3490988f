// The wizard, its range editor, its progress dialog and its questions as a
// French-speaking clerk reads them: the program's and Qt's French installed
// whatever the machine's locale, removed afterwards.

#include "import/wizard/ImportProgress.h"
#include "import/wizard/WizardWindow.h"
#include "import/wizard/RangeEditor.h"
#include "import/sources/workbook/RangeMap.h"
#include "tests/support/ScopedLanguage.h"
#include "tests/wizard/PageDriving.h"
#include "tests/wizard/WizardTestSupport.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace PageDriving;

namespace {

// Pictures for a person to look at, when asked for (KESTRA_WIZARD_SHOTS=DIR).
void shoot(QWidget &w, const QString &name)
{
    const QString dir = qEnvironmentVariable("KESTRA_WIZARD_SHOTS");
    if (!dir.isEmpty())
        w.grab().save(dir + QStringLiteral("/fr-") + name + QStringLiteral(".png"));
}

QStringList labelTexts(QWidget &w)
{
    QStringList texts;
    for (const QLabel *l : w.findChildren<QLabel *>())
        texts << l->text();
    return texts;
}

// The buttons of the next message box shown, read and then answered with
// the one given.
class BoxReader
{
public:
    explicit BoxReader(QMessageBox::StandardButton answer)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, answer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            m_timer.stop();
            text = box->text();
            for (QAbstractButton *b : box->buttons())
                buttons << b->text();
            shoot(*box, QStringLiteral("question"));
            click(box->button(answer));
        });
        m_timer.start(5);
    }
    QString text;
    QStringList buttons;

private:
    QTimer m_timer;
};

class FrenchScreens : public WizardOnClients
{
protected:
    ScopedLanguage french { Translations::Language::French };
};

} // namespace

TEST_F(FrenchScreens, TheFourStepsAndTheProgressDialog)
{
    ASSERT_TRUE(french.complete());
    const QString csv = fx.clientsCsv(3);
    WizardWindow w(wizard);
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Assistant d'importation des données"));
    EXPECT_EQ(find<QPushButton>(w, QStringLiteral("bBack"))->text(), QStringLiteral("< &Précédent"));
    EXPECT_EQ(find<QPushButton>(w, QStringLiteral("bNext"))->text(), QStringLiteral("&Suivant >"));
    EXPECT_EQ(find<QPushButton>(w, QStringLiteral("bOk"))->text(), QStringLiteral("&Exécuter"));
    EXPECT_EQ(find<QPushButton>(w, QStringLiteral("bCancel"))->text(), QStringLiteral("&Annuler"));
    EXPECT_EQ(find<QRadioButton>(w, QStringLiteral("rbCSV"))->text(), QStringLiteral("Fichier CSV"));
    EXPECT_EQ(find<QRadioButton>(w, QStringLiteral("rbXLS"))->text(), QStringLiteral("Classeur (xls, xlsx, ods)"));
    shoot(w, QStringLiteral("step0"));

    openMapStep(w, aiCSV, csv);
    ASSERT_EQ(w.step(), 1);
    EXPECT_EQ(find<QLabel>(w, QStringLiteral("laStep1"))->text(), QStringLiteral("Étape 1 sur 3"));
    WizardPage &page = *w.page(aiCSV);
    mapDelimited(page, QStringLiteral("CODE"), 1);
    mapDelimited(page, QStringLiteral("NOMBENEFICIAIRE"), 2);
    type(find<QLineEdit>(page, QStringLiteral("edSkipLines")), QStringLiteral("1"));
    EXPECT_TRUE(labelTexts(page).contains(QStringLiteral("Lignes à sauter")));
    shoot(w, QStringLiteral("step1"));

    click(find<QPushButton>(w, QStringLiteral("bNext")));
    ASSERT_EQ(w.step(), 2);
    EXPECT_EQ(find<QLabel>(w, QStringLiteral("laStep2"))->text(), QStringLiteral("Étape 2 sur 3"));
    shoot(w, QStringLiteral("step2"));

    click(find<QPushButton>(w, QStringLiteral("bNext")));
    ASSERT_EQ(w.step(), 3);
    EXPECT_EQ(find<QCheckBox>(w, QStringLiteral("chCommitAfterDone"))->text(), QStringLiteral("Valider à la fin"));
    shoot(w, QStringLiteral("step3"));

    // The progress dialog once done, read before its OK is pressed.
    QStringList labels;
    QString state, caption;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        ImportProgress *p = w.progress();
        if (!p || !p->isDone())
            return;
        closer.stop();
        labels = labelTexts(*p);
        state = p->state();
        caption = p->windowTitle();
        shoot(*p, QStringLiteral("progress"));
        click(p->button());
    });
    closer.start(5);
    click(find<QPushButton>(w, QStringLiteral("bOk")));
    EXPECT_EQ(state, QStringLiteral("Terminée"));
    EXPECT_EQ(caption, QStringLiteral("Importation terminée"));
    for (const char *label : { "État", "Traitées", "Insérées", "Modifiées", "Supprimées", "Erreurs", "Validées", "Durée" })
        EXPECT_TRUE(labels.contains(QString::fromUtf8(label))) << label;
    EXPECT_EQ(fx.count(), 3);
}

// The spreadsheet page's range tools, whose French is the longest.
TEST_F(FrenchScreens, TheSpreadsheetPage)
{
    WizardWindow w(wizard);
    w.resize(1000, 680);
    w.show();
    openMapStep(w, aiXLS, QStringLiteral(KESTRA_FIXTURES_DIR "/wizard/clients.xls"));
    ASSERT_EQ(w.step(), 1);
    WizardPage &page = *w.page(aiXLS);
    EXPECT_EQ(find<QToolButton>(page, QStringLiteral("bAddRange"))->text(), QStringLiteral("Ajouter une plage"));
    EXPECT_EQ(find<QToolButton>(page, QStringLiteral("bAutoFillCols"))->text(), QStringLiteral("Remplir colonnes"));
    shoot(w, QStringLiteral("spreadsheet"));
}

// The question asked when the clerk cancels an import: French text, and
// Qt's own buttons in French.
TEST_F(FrenchScreens, TheAbortQuestionAndItsButtons)
{
    MessageBox::setAutoAnswer(QMessageBox::NoButton);
    ImportProgress progress;
    progress.show();
    BoxReader reader(QMessageBox::No);
    EXPECT_TRUE(progress.askContinue()); // "Non": the import goes on
    EXPECT_EQ(reader.text, QStringLiteral("Voulez-vous vraiment interrompre l'importation ?"));
    EXPECT_EQ(reader.buttons.size(), 2);
    EXPECT_TRUE(reader.buttons.contains(QStringLiteral("&Oui"))) << reader.buttons.join(QLatin1Char(',')).toStdString();
    EXPECT_TRUE(reader.buttons.contains(QStringLiteral("&Non"))) << reader.buttons.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(progress.state(), QStringLiteral("En pause"));
}

TEST_F(FrenchScreens, TheRangeEditorAndItsMessages)
{
    MapRange range;
    range.setBounds(0, 1, 0, 1);
    range.setDirection(rdForward);
    range.setSheetName(QStringLiteral("Feuil1"));
    RangeEditor d(range, { QStringLiteral("Feuil1") });
    d.show();
    QStringList groups;
    for (const QGroupBox *g : d.findChildren<QGroupBox *>())
        groups << g->title().trimmed();
    for (const char *title : { "Type de plage", "Début", "Fin", "Sens", "Feuille" })
        EXPECT_TRUE(groups.contains(QString::fromUtf8(title))) << title << " in " << groups.join(QLatin1Char(',')).toStdString();
    EXPECT_EQ(find<QRadioButton>(d, QStringLiteral("rbDefaultSheet"))->text(), QStringLiteral("Feuille par défaut"));
    shoot(d, QStringLiteral("range-editor"));

    // A column given as a number: refused in French.
    type(find<QLineEdit>(d, QStringLiteral("edRange")), QStringLiteral("2"));
    MessageBox::resetRecord();
    d.accept();
    EXPECT_EQ(MessageBox::lastText(), QStringLiteral("Lettre attendue, trouvé 2 (position 1)"));
    EXPECT_TRUE(d.isVisible());
    d.reject();
}
