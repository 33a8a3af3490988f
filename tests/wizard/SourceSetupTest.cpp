#include "import/sources/text/TextImport.h"
#include "import/sources/dbf/DbfImport.h"
#include "import/engine/ImportMessages.h"
#include "import/template/SourceSetup.h"
#include "import/template/TemplateFile.h"
#include "import/sources/workbook/WorkbookImport.h"
#include "import/sources/xml/XmlImport.h"
#include "tests/wizard/WizardTestSupport.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

namespace {

const QStringList Columns = { QStringLiteral("CODE"), QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("ADRESSE") };

TDataImportWizardSettings settingsFor(TAllowedImport kind)
{
    TDataImportWizardSettings s;
    s.SetColumns(Columns);
    s.ImportType = kind;
    s.FileName = QStringLiteral("/data/x") + ImportKindExtension(kind);
    return s;
}

} // namespace

TEST(SourceSetup, EachKindGetsItsOptions)
{
    TDataImportWizardSettings s = settingsFor(aiXLS);
    s.XLSSkipCols = 2;
    s.XLSSkipRows = 3;
    s.XLSRanges.SetValue(QStringLiteral("CODE"), QStringLiteral("A2-A9;"));
    auto xls = CreateImportSource(aiXLS);
    ConfigureImportSource(*xls, s);
    auto *x = dynamic_cast<TDataImportXLS *>(xls.get());
    ASSERT_TRUE(x);
    EXPECT_EQ(x->SkipFirstCols(), 2);
    EXPECT_EQ(x->SkipFirstRows(), 3);
    EXPECT_EQ(x->Map(), QStringList({ QStringLiteral("CODE=A2-A9;") }));
    EXPECT_EQ(x->FileName(), QStringLiteral("/data/x.xls"));

    s = settingsFor(aiDBF);
    s.SkipDeleted = false;
    auto dbf = CreateImportSource(aiDBF);
    ConfigureImportSource(*dbf, s);
    EXPECT_FALSE(dynamic_cast<TDataImportDBF &>(*dbf).SkipDeleted());

    s = settingsFor(aiXML);
    s.WriteOnFly = true;
    auto xml = CreateImportSource(aiXML);
    ConfigureImportSource(*xml, s);
    EXPECT_TRUE(dynamic_cast<TDataImportXML &>(*xml).WriteOnFly());

    // Fixed width: the separator 0 selects the layout; a template's map not
    // yet placed is the map.
    s = settingsFor(aiTXT);
    s.PendingTXTMap = TWizardPendingTextMap { { { QStringLiteral("code"), QStringLiteral("0;4") } }, 2 };
    auto text = CreateImportSource(aiTXT);
    ConfigureImportSource(*text, s);
    auto &t = dynamic_cast<TDataImportASCII &>(*text);
    EXPECT_EQ(t.Comma(), QChar(0));
    EXPECT_EQ(t.SkipFirstRows(), 2);
    EXPECT_EQ(t.Map(), QStringList({ QStringLiteral("CODE=0;4") }));

    s = settingsFor(aiCSV);
    s.SetDelimiter(QChar(9));
    s.SetQuote(QLatin1Char('\''));
    s.CSVSkipLines = 1;
    s.CSVColumns.SetValue(QStringLiteral("ADRESSE"), QStringLiteral("3"));
    ConfigureImportSource(*text, s);
    EXPECT_EQ(t.Comma(), QChar(9));
    EXPECT_EQ(t.Quote(), QLatin1Char('\''));
    EXPECT_EQ(t.SkipFirstRows(), 1);
    EXPECT_EQ(t.Map(), QStringList({ QStringLiteral("ADRESSE=3") }));

    // A source of another kind is refused.
    try {
        ConfigureImportSource(*xls, s);
        ADD_FAILURE();
    } catch (const EDataImportError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Unknown import source"));
    }
}

TEST(SourceSetup, LastStepSettingsAndFieldFormatsMerge)
{
    TDataImportWizardSettings s = settingsFor(aiCSV);
    s.KeyColumns = { QStringLiteral("CODE") };
    s.Formats.DecimalSeparator = QLatin1Char('.');
    s.Formats.NullValues = { QStringLiteral("-") };
    s.CommitAfterDone = false;
    s.CommitRecCount = 25;
    s.ImportAllRecords = false;
    s.ImportRecCount = 5;
    s.ErrorLog = true;
    s.ErrorLogFileName = QStringLiteral("import.log");
    s.RewriteErrorLogFile = false;
    s.ShowErrorLog = true;
    s.ImportMode = qimUpdate;
    s.AddType = qatAppend;
    s.FieldFormat(QStringLiteral("NOMBENEFICIAIRE"))->CharCase = iccUpper;

    auto source = CreateImportSource(aiCSV);
    // What an earlier import left in the source: an entry for a destination
    // column is replaced by the column's settings, even empty ones.
    source->FieldFormats().Add(QStringLiteral("code")).ConstantValue = QStringLiteral("old");
    source->FieldFormats().Add(QStringLiteral("OTHER")).ConstantValue = QStringLiteral("kept");
    ConfigureImportSource(*source, s);

    EXPECT_EQ(source->KeyColumns(), QStringList({ QStringLiteral("CODE") }));
    EXPECT_EQ(source->Formats().DecimalSeparator, QLatin1Char('.'));
    EXPECT_EQ(source->Formats().NullValues, QStringList({ QStringLiteral("-") }));
    EXPECT_FALSE(source->CommitAfterDone());
    EXPECT_EQ(source->CommitRecCount(), 25);
    EXPECT_EQ(source->ImportRecCount(), 5);
    EXPECT_TRUE(source->ErrorLog());
    EXPECT_EQ(source->ErrorLogFileName(), QCoreApplication::applicationDirPath() + QStringLiteral("/import.log"));
    EXPECT_FALSE(source->RewriteErrorLogFile());
    EXPECT_TRUE(source->ShowErrorLog());
    EXPECT_EQ(source->ImportMode(), qimUpdate);
    EXPECT_EQ(source->AddType(), qatAppend);

    const TDataImportFieldFormats &formats = source->FieldFormats();
    ASSERT_EQ(formats.Count(), 3);
    EXPECT_TRUE(formats.FindByName(QStringLiteral("CODE"))->IsEmpty());
    EXPECT_EQ(formats.FindByName(QStringLiteral("OTHER"))->ConstantValue, QStringLiteral("kept"));
    EXPECT_EQ(formats.FindByName(QStringLiteral("NOMBENEFICIAIRE"))->CharCase, iccUpper);
    EXPECT_FALSE(formats.FindByName(QStringLiteral("ADRESSE")));

    // "Import all records" sends 0 whatever count was typed.
    s.ImportAllRecords = true;
    ConfigureImportSource(*source, s);
    EXPECT_EQ(source->ImportRecCount(), 0);
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
        EXPECT_EQ(WizardErrorLogFileName(c.name), c.expected) << c.name.toStdString();
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

        auto probe = CreateImportSource(aiCSV);
        probe->SetDataSet(&fx.tiers);
        TDataImportWizardSettings defaults;
        defaults.SetColumns(DestinationColumns(*probe));
        TDataImportWizardSettings settings = defaults;
        TDataImportTemplate::Load(file, settings, defaults);

        auto source = CreateImportSource(settings.ImportType);
        source->SetDataSet(&fx.tiers);
        ConfigureImportSource(*source, settings);
        int commits = 0;
        source->OnNeedCommit = [&](TDataImport *) {
            ++commits;
            fx.db.connection().commitRetaining();
        };
        source->Execute();
        EXPECT_EQ(commits, 1);
        EXPECT_EQ(fx.committed(), c.expected);
    }
}
