#include "import/template/SourceSetup.h"

#include "import/engine/ImportMessages.h"
#include "import/sources/dbf/DbfImport.h"
#include "import/sources/text/TextImport.h"
#include "import/sources/workbook/WorkbookImport.h"
#include "import/sources/xml/XmlImport.h"
#include "import/template/SourceKind.h"
#include "import/template/TemplateFile.h"
#include "import/wizard/WizardKind.h"
#include "tests/wizard/WizardTestSupport.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

const QStringList Columns = { QStringLiteral("CODE"), QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("ADRESSE") };

ImportSettings settingsFor(AllowedImport kind)
{
    ImportSettings s;
    s.setColumns(Columns);
    s.importType = kind;
    s.fileName = QStringLiteral("/data/x") + importKindExtension(kind);
    return s;
}

} // namespace

TEST(SourceSetup, EachKindGetsItsOptions)
{
    ImportSettings s = settingsFor(aiXLS);
    s.xlsSkipCols = 2;
    s.xlsSkipRows = 3;
    s.xlsRanges.setValue(QStringLiteral("CODE"), QStringLiteral("A2-A9;"));
    auto xls = createImportSource(aiXLS);
    configureImportSource(*xls, s);
    auto *x = dynamic_cast<WorkbookImport *>(xls.get());
    ASSERT_TRUE(x);
    EXPECT_EQ(x->skipFirstCols(), 2);
    EXPECT_EQ(x->skipFirstRows(), 3);
    EXPECT_EQ(x->map(), QStringList({ QStringLiteral("CODE=A2-A9;") }));
    EXPECT_EQ(x->fileName(), QStringLiteral("/data/x.xls"));

    s = settingsFor(aiDBF);
    s.skipDeleted = false;
    auto dbf = createImportSource(aiDBF);
    configureImportSource(*dbf, s);
    EXPECT_FALSE(dynamic_cast<DbfImport &>(*dbf).skipDeleted());

    s = settingsFor(aiXML);
    s.writeOnFly = true;
    auto xml = createImportSource(aiXML);
    configureImportSource(*xml, s);
    EXPECT_TRUE(dynamic_cast<XmlImport &>(*xml).writeOnFly());

    // Fixed width: the separator 0 selects the layout; a template's map not
    // yet placed is the map.
    s = settingsFor(aiTXT);
    s.pendingTxtMap = WizardPendingTextMap { { { QStringLiteral("code"), QStringLiteral("0;4") } }, 2 };
    auto text = createImportSource(aiTXT);
    configureImportSource(*text, s);
    auto &t = dynamic_cast<TextImport &>(*text);
    EXPECT_EQ(t.comma(), QChar(0));
    EXPECT_EQ(t.skipFirstRows(), 2);
    EXPECT_EQ(t.map(), QStringList({ QStringLiteral("CODE=0;4") }));

    s = settingsFor(aiCSV);
    s.setDelimiter(QChar(9));
    s.setQuote(QLatin1Char('\''));
    s.csvSkipLines = 1;
    s.csvColumns.setValue(QStringLiteral("ADRESSE"), QStringLiteral("3"));
    configureImportSource(*text, s);
    EXPECT_EQ(t.comma(), QChar(9));
    EXPECT_EQ(t.quote(), QLatin1Char('\''));
    EXPECT_EQ(t.skipFirstRows(), 1);
    EXPECT_EQ(t.map(), QStringList({ QStringLiteral("ADRESSE=3") }));

    // A source of another kind is refused.
    try {
        configureImportSource(*xls, s);
        ADD_FAILURE();
    } catch (const ImportError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Unknown import source"));
    }
}

TEST(SourceSetup, LastStepSettingsAndFieldFormatsMerge)
{
    ImportSettings s = settingsFor(aiCSV);
    s.keyColumns = { QStringLiteral("CODE") };
    s.formats.decimalSeparator = QLatin1Char('.');
    s.formats.nullValues = { QStringLiteral("-") };
    s.commitAfterDone = false;
    s.commitRecCount = 25;
    s.importAllRecords = false;
    s.importRecCount = 5;
    s.errorLog = true;
    s.errorLogFileName = QStringLiteral("import.log");
    s.rewriteErrorLogFile = false;
    s.showErrorLog = true;
    s.importMode = qimUpdate;
    s.addType = qatAppend;
    s.fieldFormat(QStringLiteral("NOMBENEFICIAIRE"))->charCase = iccUpper;

    auto source = createImportSource(aiCSV);
    // What an earlier import left in the source: an entry for a destination
    // column is replaced by the column's settings, even empty ones.
    source->fieldFormats().add(QStringLiteral("code")).constantValue = QStringLiteral("old");
    source->fieldFormats().add(QStringLiteral("OTHER")).constantValue = QStringLiteral("kept");
    configureImportSource(*source, s);

    EXPECT_EQ(source->keyColumns(), QStringList({ QStringLiteral("CODE") }));
    EXPECT_EQ(source->formats().decimalSeparator, QLatin1Char('.'));
    EXPECT_EQ(source->formats().nullValues, QStringList({ QStringLiteral("-") }));
    EXPECT_FALSE(source->commitAfterDone());
    EXPECT_EQ(source->commitRecCount(), 25);
    EXPECT_EQ(source->importRecCount(), 5);
    EXPECT_TRUE(source->errorLog());
    EXPECT_EQ(source->errorLogFileName(), QCoreApplication::applicationDirPath() + QStringLiteral("/import.log"));
    EXPECT_FALSE(source->rewriteErrorLogFile());
    EXPECT_TRUE(source->showErrorLog());
    EXPECT_EQ(source->importMode(), qimUpdate);
    EXPECT_EQ(source->addType(), qatAppend);

    const FieldFormats &formats = source->fieldFormats();
    ASSERT_EQ(formats.count(), 3);
    EXPECT_TRUE(formats.findByName(QStringLiteral("CODE"))->isEmpty());
    EXPECT_EQ(formats.findByName(QStringLiteral("OTHER"))->constantValue, QStringLiteral("kept"));
    EXPECT_EQ(formats.findByName(QStringLiteral("NOMBENEFICIAIRE"))->charCase, iccUpper);
    EXPECT_FALSE(formats.findByName(QStringLiteral("ADRESSE")));

    // "Import all records" sends 0 whatever count was typed.
    s.importAllRecords = true;
    configureImportSource(*source, s);
    EXPECT_EQ(source->importRecCount(), 0);
}

TEST(SourceSetup, ErrorLogPlaces)
{
    const QString program = QCoreApplication::applicationDirPath();
    QTemporaryDir dir;
    struct Case
    {
        QString name;
        QString expected;
    };
    const QList<Case> cases = {
        { QStringLiteral("import.log"), program + QStringLiteral("/import.log") },
        { dir.filePath(QStringLiteral("a.log")), dir.filePath(QStringLiteral("a.log")) },
        // An absolute name whose directory is missing: the engine makes it.
        { dir.filePath(QStringLiteral("new/a.log")), dir.filePath(QStringLiteral("new/a.log")) },
        { QStringLiteral("./a.log"), QStringLiteral("./a.log") },
        { QStringLiteral("no-such-dir/a.log"), program + QStringLiteral("/no-such-dir/a.log") },
        { QString(), QString() },
    };
    for (const Case &c : cases)
        EXPECT_EQ(wizardErrorLogFileName(c.name), c.expected) << c.name.toStdString();
}

// What an unattended import does: a template, the source of its kind, the
// same configuration as the wizard's, and the owner's commits.
TEST(SourceSetup, UnattendedImportFromTemplates)
{
    ClientsFixture fx;
    fx.clientsCsv(4);
    fx.write(QStringLiteral("clients.txt"), QStringLiteral("00010Fixe Un     \r\n00011Fixe Deux   \r\n"));
    struct Case
    {
        const char *name;
        QString text;
        QMap<int, QString> expected;
    };
    const QList<Case> cases = {
        { "delimited",
            QStringLiteral("[FIRST_STEP]\nImportType=4\nFileName=%1\n[CSV_MAP]\nCODE=1\nNOMBENEFICIAIRE=2\nADRESSE=3\n"
                           "[CSV_OPTIONS]\nSkipLines=1\nDelimiter=;\n[DATA_FORMATS_NOMBENEFICIAIRE]\nCharCase=1\n"
                           "[LAST_STEP]\nImportRecCount=3\n")
                .arg(fx.path(QStringLiteral("clients.csv"))),
            { { 1, QStringLiteral("CLIENT 1") }, { 2, QStringLiteral("CLIENT 2") }, { 3, QStringLiteral("CLIENT 3") } } },
        { "fixed width",
            QStringLiteral("[FIRST_STEP]\nImportType=3\nFileName=%1\n[TXT_MAP]\nCODE=0;5\nNOMBENEFICIAIRE=5;12\n")
                .arg(fx.path(QStringLiteral("clients.txt"))),
            { { 10, QStringLiteral("Fixe Un") }, { 11, QStringLiteral("Fixe Deux") } } },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        fx.db.exec(QStringLiteral("delete from TIERS"));
        fx.db.connection().commitRetaining();
        fx.tiers.close();
        fx.tiers.open();
        const QString file = fx.write(QStringLiteral("t.imp"), c.text);

        auto probe = createImportSource(aiCSV);
        probe->setDataSet(&fx.tiers);
        ImportSettings defaults;
        defaults.setColumns(destinationColumns(*probe));
        ImportSettings settings = defaults;
        TemplateFile::load(file, settings, defaults);

        auto source = createImportSource(settings.importType);
        source->setDataSet(&fx.tiers);
        configureImportSource(*source, settings);
        int commits = 0;
        source->onNeedCommit = [&](ImportEngine *) {
            ++commits;
            fx.db.connection().commitRetaining();
        };
        source->execute();
        EXPECT_EQ(commits, 1);
        EXPECT_EQ(fx.committed(), c.expected);
    }
}

// Every table of kinds is indexed by the kind: an entry out of place would
// give one kind another's reader, template sections or page.
TEST(SourceSetup, KindTablesFollowTheKinds)
{
    ASSERT_EQ(int(sourceKinds().size()), ImportKindCount);
    QStringList names;
    for (int k = 0; k < ImportKindCount; ++k) {
        const AllowedImport kind = AllowedImport(k);
        EXPECT_EQ(sourceKind(kind).kind, kind);
        EXPECT_EQ(wizardKind(kind).kind, kind);
        const QString name = QLatin1String(sourceKind(kind).name);
        ASSERT_TRUE(sourceKindNamed(name));
        EXPECT_EQ(sourceKindNamed(name)->kind, kind) << name.toStdString();
        names << name;
    }
    EXPECT_EQ(names, QStringList({ "xls", "dbf", "xml", "txt", "csv" }));
    EXPECT_FALSE(sourceKindNamed(QStringLiteral("xlsx")));

    for (int number : { ImportKindCount, 7 }) {
        try {
            createImportSource(AllowedImport(number));
            ADD_FAILURE() << number;
        } catch (const ImportError &e) {
            EXPECT_EQ(e.text(), QStringLiteral("Unknown import source"));
        }
    }
}
