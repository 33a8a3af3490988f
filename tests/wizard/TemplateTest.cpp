#include "import/engine/ImportMessages.h"
#include "import/template/TemplateFile.h"
#include "import/engine/ImportSettings.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QStringList TiersColumns = { QStringLiteral("CODE"), QStringLiteral("TYPEIDENTIFIANT"), QStringLiteral("PHYSIQUEMORALE"),
    QStringLiteral("IDENTIFIANT"), QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("ADRESSE"), QStringLiteral("NUMEROAUTORISATION"),
    QStringLiteral("DATEAUTORISATION") };

TDataImportWizardSettings defaults(const QStringList &columns = TiersColumns)
{
    TDataImportWizardSettings s;
    s.SetColumns(columns);
    return s;
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// The lines of a saved file without blank lines: headers and key=value.
QStringList fileLines(const QString &path)
{
    QStringList lines;
    for (const QByteArray &line : readAll(path).split('\n')) {
        const QString text = QString::fromLatin1(line).trimmed();
        if (!text.isEmpty())
            lines << text;
    }
    return lines;
}

// Every setting different from its default.
TDataImportWizardSettings everySetting(TAllowedImport kind)
{
    TDataImportWizardSettings s = defaults();
    s.ImportType = kind;
    s.FileName = QStringLiteral("/data/clients") + ImportKindExtension(kind);
    s.GoToLastPage = true;
    s.AutoSaveTemplate = true;
    switch (kind) {
    case aiXLS:
        s.XLSRanges.SetValue(QStringLiteral("CODE"), QStringLiteral("A2-A40;"));
        s.XLSRanges.SetValue(QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("[CLIENTS]B-COLFINISH;[:2]C3-C9;"));
        s.XLSSkipCols = 1;
        s.XLSSkipRows = 2;
        break;
    case aiDBF:
        s.DBFPairs
            = { { QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("NOM") }, { QStringLiteral("CODE"), QStringLiteral("CODE_CLI") } };
        s.SkipDeleted = false;
        break;
    case aiXML:
        s.XMLPairs = { { QStringLiteral("ADRESSE"), QStringLiteral("Address") }, { QStringLiteral("CODE"), QStringLiteral("Id") } };
        s.WriteOnFly = true;
        break;
    case aiTXT:
        s.TXTPositions.SetValue(QStringLiteral("CODE"), QStringLiteral("0"));
        s.TXTSizes.SetValue(QStringLiteral("CODE"), QStringLiteral("5"));
        s.TXTPositions.SetValue(QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("10"));
        s.TXTSizes.SetValue(QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("15"));
        s.TXTSkipLines = 3;
        s.TextEncoding = teOem850;
        break;
    case aiCSV:
        s.SetDelimiter(QChar(9));
        s.SetQuote(QLatin1Char('\''));
        s.CSVColumns.SetValue(QStringLiteral("CODE"), QStringLiteral("1"));
        s.CSVColumns.SetValue(QStringLiteral("ADRESSE"), QStringLiteral("4"));
        s.CSVSkipLines = 1;
        s.TextEncoding = teUtf8;
        break;
    }
    TDataImportFormats &f = s.Formats;
    f.DecimalSeparator = QLatin1Char('.');
    f.ThousandSeparator = QLatin1Char(' ');
    f.ShortDateFormat = QStringLiteral("yyyy-mm-dd");
    f.LongDateFormat = QStringLiteral("dddd d mmmm yyyy");
    f.DateSeparator = QLatin1Char('-');
    f.ShortTimeFormat = QStringLiteral("hh.nn");
    f.LongTimeFormat = QStringLiteral("hh.nn.ss");
    f.TimeSeparator = QLatin1Char('.');
    f.BooleanTrue = { QStringLiteral("Oui"), QStringLiteral("O") };
    f.BooleanFalse = { QStringLiteral("Non") };
    f.NullValues = { QStringLiteral("NULL"), QStringLiteral("N/A") };

    TDataImportFieldFormat *code = s.FieldFormat(QStringLiteral("CODE"));
    code->GeneratorValue = 100;
    code->GeneratorStep = 10;
    TDataImportFieldFormat *name = s.FieldFormat(QStringLiteral("NOMBENEFICIAIRE"));
    name->NullValue = QStringLiteral("N/A");
    name->DefaultValue = QStringLiteral("''");
    name->LeftQuote = QStringLiteral("<");
    name->RightQuote = QStringLiteral(">");
    name->QuoteAction = qaRemove;
    name->CharCase = iccUpperFirstWord;
    name->CharSet = icsAnsi;
    name->Replacements.Add(QStringLiteral("Ste"), QStringLiteral("Société"), true);
    name->Replacements.Add(QStringLiteral("&"), QStringLiteral("et"), false);
    s.FieldFormat(QStringLiteral("ADRESSE"))->ConstantValue = QStringLiteral("Tunis");
    s.FieldFormat(QStringLiteral("IDENTIFIANT"))->CharCase = iccUpper;

    s.CommitAfterDone = false;
    s.CommitRecCount = 50;
    s.ImportAllRecords = false;
    s.ImportRecCount = 7;
    s.CloseAfterImport = true;
    s.ErrorLog = true;
    s.ErrorLogFileName = QStringLiteral("logs/imp.log");
    s.RewriteErrorLogFile = false;
    s.ShowErrorLog = true;
    s.ImportMode = qimUpdateOrInsert;
    s.AddType = qatAppend;
    s.KeyColumns = { QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("CODE") };
    return s;
}

// The owner's values under which a template's flags are all read.
TDataImportWizardSettings permissiveComponent()
{
    TDataImportWizardSettings c = defaults();
    c.CommitAfterDone = false;
    c.RewriteErrorLogFile = false;
    return c;
}

void expectSameFormat(const TDataImportFieldFormat &a, const TDataImportFieldFormat &b)
{
    SCOPED_TRACE(a.FieldName.toStdString());
    EXPECT_EQ(a.GeneratorValue, b.GeneratorValue);
    EXPECT_EQ(a.GeneratorStep, b.GeneratorStep);
    EXPECT_EQ(a.ConstantValue, b.ConstantValue);
    EXPECT_EQ(a.NullValue, b.NullValue);
    EXPECT_EQ(a.DefaultValue, b.DefaultValue);
    EXPECT_EQ(a.LeftQuote, b.LeftQuote);
    EXPECT_EQ(a.RightQuote, b.RightQuote);
    EXPECT_EQ(a.QuoteAction, b.QuoteAction);
    EXPECT_EQ(a.CharCase, b.CharCase);
    EXPECT_EQ(a.CharSet, b.CharSet);
    ASSERT_EQ(a.Replacements.Count(), b.Replacements.Count());
    for (int i = 0; i < a.Replacements.Count(); ++i) {
        EXPECT_EQ(a.Replacements.Items(i).TextToFind, b.Replacements.Items(i).TextToFind);
        EXPECT_EQ(a.Replacements.Items(i).ReplaceWith, b.Replacements.Items(i).ReplaceWith);
        EXPECT_EQ(a.Replacements.Items(i).IgnoreCase, b.Replacements.Items(i).IgnoreCase);
    }
}

void expectSameSettings(const TDataImportWizardSettings &a, const TDataImportWizardSettings &b)
{
    EXPECT_EQ(a.ImportType, b.ImportType);
    EXPECT_EQ(a.FileName, b.FileName);
    EXPECT_EQ(a.GoToLastPage, b.GoToLastPage);
    EXPECT_EQ(a.AutoSaveTemplate, b.AutoSaveTemplate);
    EXPECT_EQ(a.Map(), b.Map());
    EXPECT_EQ(a.XLSSkipCols, b.XLSSkipCols);
    EXPECT_EQ(a.XLSSkipRows, b.XLSSkipRows);
    EXPECT_EQ(a.TXTSkipLines, b.TXTSkipLines);
    EXPECT_EQ(a.CSVSkipLines, b.CSVSkipLines);
    EXPECT_EQ(a.SkipDeleted, b.SkipDeleted);
    EXPECT_EQ(a.WriteOnFly, b.WriteOnFly);
    if (a.ImportType == aiCSV) {
        EXPECT_EQ(a.Delimiter, b.Delimiter);
        EXPECT_EQ(a.Quote, b.Quote);
    }
    if (a.ImportType == aiCSV || a.ImportType == aiTXT)
        EXPECT_EQ(a.TextEncoding, b.TextEncoding);
    const TDataImportFormats &fa = a.Formats, &fb = b.Formats;
    EXPECT_EQ(fa.DecimalSeparator, fb.DecimalSeparator);
    EXPECT_EQ(fa.ThousandSeparator, fb.ThousandSeparator);
    EXPECT_EQ(fa.ShortDateFormat, fb.ShortDateFormat);
    EXPECT_EQ(fa.LongDateFormat, fb.LongDateFormat);
    EXPECT_EQ(fa.DateSeparator, fb.DateSeparator);
    EXPECT_EQ(fa.ShortTimeFormat, fb.ShortTimeFormat);
    EXPECT_EQ(fa.LongTimeFormat, fb.LongTimeFormat);
    EXPECT_EQ(fa.TimeSeparator, fb.TimeSeparator);
    EXPECT_EQ(fa.BooleanTrue, fb.BooleanTrue);
    EXPECT_EQ(fa.BooleanFalse, fb.BooleanFalse);
    EXPECT_EQ(fa.NullValues, fb.NullValues);
    for (const QString &column : a.Columns()) {
        TDataImportFieldFormat fa1 = *a.FieldFormat(column);
        const TDataImportFieldFormat fb1 = *b.FieldFormat(column);
        // A counter's other settings are not worth keeping: nothing applies them.
        if (fa1.GeneratorStep != 0)
            fa1.Replacements.Clear();
        expectSameFormat(fa1, fb1);
    }
    EXPECT_EQ(a.CommitAfterDone, b.CommitAfterDone);
    EXPECT_EQ(a.CommitRecCount, b.CommitRecCount);
    EXPECT_EQ(a.EffectiveImportRecCount(), b.EffectiveImportRecCount());
    EXPECT_EQ(a.CloseAfterImport, b.CloseAfterImport);
    EXPECT_EQ(a.ErrorLog, b.ErrorLog);
    EXPECT_EQ(a.ErrorLogFileName, b.ErrorLogFileName);
    EXPECT_EQ(a.RewriteErrorLogFile, b.RewriteErrorLogFile);
    EXPECT_EQ(a.ShowErrorLog, b.ShowErrorLog);
    EXPECT_EQ(a.ImportMode, b.ImportMode);
    EXPECT_EQ(a.AddType, b.AddType);
    EXPECT_EQ(a.KeyColumns, b.KeyColumns);
}

class Template : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("clients.imp"));

    // Loads text as a template over the defaults of columns.
    TDataImportWizardSettings load(
        const QByteArray &text, const TDataImportWizardSettings &component = defaults(), TAllowedImports allowed = TAllowedImports::All())
    {
        writeFile(file, text);
        TDataImportWizardSettings s = component;
        TDataImportTemplate::Load(file, s, component, allowed);
        return s;
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Round trip and layout
// ---------------------------------------------------------------------------

TEST_F(Template, EverySettingOfEveryKindComesBack)
{
    for (TAllowedImport kind : { aiXLS, aiDBF, aiXML, aiTXT, aiCSV }) {
        SCOPED_TRACE(int(kind));
        const TDataImportWizardSettings saved = everySetting(kind);
        TDataImportTemplate::Save(file, saved);
        TDataImportWizardSettings loaded = defaults();
        TDataImportTemplate::Load(file, loaded, permissiveComponent());
        if (kind == aiTXT) {
            // Positions wait for the page's preview of the file.
            ASSERT_TRUE(loaded.PendingTXTMap.has_value());
            EXPECT_TRUE(loaded.TXTSizes.IsEmpty());
            loaded.ApplyPendingTXTMap();
        }
        expectSameSettings(saved, loaded);
    }
}

TEST_F(Template, SectionsAndKeysInTheirOrderWithTheirEncodings)
{
    TDataImportWizardSettings s = defaults({ QStringLiteral("CODE"), QStringLiteral("NOM") });
    s.ImportType = aiCSV;
    s.FileName = QStringLiteral("c.csv");
    s.SetDelimiter(QChar(9));
    s.SetQuote(QLatin1Char('"'));
    s.CSVColumns.SetValue(QStringLiteral("NOM"), QStringLiteral("2"));
    s.CSVColumns.SetValue(QStringLiteral("CODE"), QStringLiteral("1"));
    s.Formats.DecimalSeparator = QLatin1Char(',');
    s.Formats.ThousandSeparator = QLatin1Char(' ');
    s.Formats.DateSeparator = QLatin1Char('/');
    s.Formats.TimeSeparator = QLatin1Char(':');
    s.Formats.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    s.Formats.LongDateFormat = QStringLiteral("dd mmmm yyyy");
    s.Formats.ShortTimeFormat = QStringLiteral("hh:nn");
    s.Formats.LongTimeFormat = QStringLiteral("hh:nn:ss");
    s.Formats.BooleanTrue = { QStringLiteral("True"), QStringLiteral("Oui") };
    s.Formats.BooleanFalse = {};
    s.Formats.NullValues = { QStringLiteral("Null") };
    TDataImportFieldFormat *nom = s.FieldFormat(QStringLiteral("Nom"));
    nom->CharCase = iccUpper;
    nom->Replacements.Add(QStringLiteral("a"), QStringLiteral("b"), true);
    s.FieldFormat(QStringLiteral("CODE"))->GeneratorStep = 1;
    s.FieldFormat(QStringLiteral("CODE"))->Replacements.Add(QStringLiteral("x"), QStringLiteral("y"));
    s.KeyColumns = { QStringLiteral("NOM") };
    TDataImportTemplate::Save(file, s);

    const QStringList expected = { "[FIRST_STEP]", "ImportType=4", "FileName=c.csv", "GoToLastPage=0", "AutoSaveTemplate=0", "[CSV_MAP]",
        "CODE=1", "NOM=2", "[CSV_OPTIONS]", "SkipLines=0", "Delimiter=#9", "Quote=\"", "[BASE_FORMATS]", "DecimalSeparator=,",
        "ThousandSeparator=#32", "ShortDateFormat=dd/mm/yyyy", "LongDateFormat=dd mmmm yyyy", "DateSeparator=/", "ShortTimeFormat=hh:nn",
        "LongTimeFormat=hh:nn:ss", "TimeSeparator=:", "[BOOLEAN_TRUE]", "True=", "Oui=", "[NULL_VALUES]", "Null=", "[DATA_FORMATS_CODE]",
        "GeneratorValue=0", "GeneratorStep=1", "[DATA_FORMATS_NOM]", "CharCase=1", "[REPLACEMENTS_NOM_0]", "TextToFind=a", "ReplaceWith=b",
        "IgnoreCase=1", "[LAST_STEP]", "CommitAfterDone=1", "CommitRecCount=100", "ImportRecCount=0", "CloseAfterImport=0",
        "EnableErrorLog=0", "ErrorLogFileName=error.log", "RewriteErrorLogFile=1", "ShowErrorLog=0", "ImportMode=0", "AddType=1",
        "[KeyColumns]", "NOM=" };
    EXPECT_EQ(fileLines(file), expected);
    // Files travel between offices: Windows line ends, the program's code page.
    EXPECT_TRUE(readAll(file).contains("[FIRST_STEP]\r\n"));
}

TEST_F(Template, TextEncodingUnderItsOwnKeyOlderTemplatesReadSingleByte)
{
    TDataImportWizardSettings s = defaults({ QStringLiteral("CODE") });
    s.ImportType = aiCSV;
    s.FileName = QStringLiteral("c.csv");
    s.SetDelimiter(QLatin1Char(';'));
    s.TextEncoding = teUtf8;
    TDataImportTemplate::Save(file, s);
    const QStringList lines = fileLines(file);
    const qsizetype options = lines.indexOf(QStringLiteral("[CSV_OPTIONS]"));
    ASSERT_GE(options, 0);
    EXPECT_EQ(lines.mid(options, 5), QStringList({ "[CSV_OPTIONS]", "SkipLines=0", "Delimiter=;", "Quote=\"", "Encoding=1" }));

    // What a template says, or single-byte text when it says nothing, over
    // a wizard that had chosen otherwise.
    TDataImportWizardSettings utf8 = defaults();
    utf8.TextEncoding = teUtf8;
    struct Case
    {
        const char *text;
        TTextEncoding expected;
    };
    const Case cases[] = {
        { "[FIRST_STEP]\nImportType=4\n[CSV_OPTIONS]\nDelimiter=;\nEncoding=2\n", teOem850 },
        { "[FIRST_STEP]\nImportType=4\n[CSV_OPTIONS]\nDelimiter=;\n", teWindows1252 },
        { "[FIRST_STEP]\nImportType=4\n[CSV_OPTIONS]\nEncoding=9\n", teWindows1252 },
        { "[FIRST_STEP]\nImportType=3\n[ASCII_OPTIONS]\nSkipLines=1\nEncoding=1\n", teUtf8 },
        { "[FIRST_STEP]\nImportType=3\n[ASCII_OPTIONS]\nSkipLines=1\n", teWindows1252 },
        { "[FIRST_STEP]\nImportType=3\n[CSV_OPTIONS]\nEncoding=1\n", teWindows1252 }, // another kind's section
    };
    for (const Case &c : cases)
        EXPECT_EQ(load(c.text, utf8).TextEncoding, c.expected) << c.text;
}

TEST_F(Template, SavingOverAFileLeavesOnlyTheTemplate)
{
    writeFile(file, "[OTHER]\r\nKey=1\r\n[XLS_MAP]\r\nCODE=A1;\r\n[LAST_STEP]\r\nExtra=5\r\n");
    TDataImportWizardSettings s = defaults();
    s.ImportType = aiCSV;
    TDataImportTemplate::Save(file, s);
    const QByteArray text = readAll(file);
    EXPECT_FALSE(text.contains("OTHER"));
    EXPECT_FALSE(text.contains("XLS_MAP"));
    EXPECT_FALSE(text.contains("Extra"));
    EXPECT_TRUE(text.contains("[CSV_OPTIONS]"));

    // A blank name writes nothing; a file that cannot be written says so.
    TDataImportTemplate::Save(QStringLiteral("  "), s);
    try {
        TDataImportTemplate::Save(dir.filePath(QStringLiteral("missing/dir/t.imp")), s);
        ADD_FAILURE() << "saved into a missing directory";
    } catch (const EDataImportError &e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("cannot be written")));
    }
}

TEST_F(Template, DataFormatsOnlyWhereAKeyIsWritten)
{
    TDataImportWizardSettings s = defaults();
    // A null value without its default changes nothing, so nothing is saved.
    s.FieldFormat(QStringLiteral("CODE"))->NullValue = QStringLiteral("N/A");
    // A constant hides the null value and the default.
    TDataImportFieldFormat *name = s.FieldFormat(QStringLiteral("NOMBENEFICIAIRE"));
    name->ConstantValue = QStringLiteral("X");
    name->NullValue = QStringLiteral("N/A");
    name->DefaultValue = QStringLiteral("?");
    // Replacements alone make no DATA_FORMATS_ key but have their sections.
    s.FieldFormat(QStringLiteral("ADRESSE"))->Replacements.Add(QStringLiteral("Av."), QStringLiteral("Avenue"));
    TDataImportTemplate::Save(file, s);
    const QStringList lines = fileLines(file);
    EXPECT_FALSE(lines.contains(QStringLiteral("[DATA_FORMATS_CODE]")));
    const qsizetype at = lines.indexOf(QStringLiteral("[DATA_FORMATS_NOMBENEFICIAIRE]"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines.mid(at + 1, 2), QStringList({ QStringLiteral("ConstantValue=X"), QStringLiteral("[REPLACEMENTS_ADRESSE_0]") }));
    EXPECT_FALSE(lines.contains(QStringLiteral("[DATA_FORMATS_ADRESSE]")));

    const TDataImportWizardSettings loaded = load(readAll(file));
    EXPECT_EQ(loaded.FieldFormat(QStringLiteral("ADRESSE"))->Replacements.Count(), 1);
    EXPECT_TRUE(loaded.FieldFormat(QStringLiteral("CODE"))->NullValue.isEmpty());
}

// ---------------------------------------------------------------------------
// Loading rules
// ---------------------------------------------------------------------------

TEST_F(Template, RefusedTemplatesChangeNothing)
{
    TDataImportWizardSettings s = defaults();
    s.FileName = QStringLiteral("keep.csv");
    s.ImportType = aiCSV;
    try {
        TDataImportTemplate::Load(dir.filePath(QStringLiteral("none.imp")), s, defaults());
        ADD_FAILURE();
    } catch (const EDataImportError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("File %1 does not exist").arg(dir.filePath(QStringLiteral("none.imp"))));
    }
    struct Case
    {
        const char *text;
        TAllowedImports allowed;
        QString message;
    };
    const QList<Case> cases = {
        { "[FIRST_STEP]\nFileName=other.xml\nImportType=2\n", { aiCSV, aiXLS }, QStringLiteral("Unknown import source") },
        { "[FIRST_STEP]\nImportType=9\n", TAllowedImports::All(), QStringLiteral("Unknown import source") },
        // No kind at all means the spreadsheet.
        { "[FIRST_STEP]\nFileName=x.csv\n", { aiCSV }, QStringLiteral("Unknown import source") },
        { "[FIRST_STEP]\nImportType=0\n[XLS_MAP]\nCODE=A1-D9;\n", TAllowedImports::All(),
            QStringLiteral("Range A1-D9 is fail. It must be COL or ROW") },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        writeFile(file, c.text);
        try {
            TDataImportTemplate::Load(file, s, defaults(), c.allowed);
            ADD_FAILURE() << "loaded";
        } catch (const EDataImportError &e) {
            EXPECT_EQ(e.text(), c.message);
        }
        EXPECT_EQ(s.FileName, QStringLiteral("keep.csv"));
        EXPECT_EQ(s.ImportType, aiCSV);
    }
}

TEST_F(Template, MapsOfEachKind)
{
    const QStringList facture = { QStringLiteral("IDENTIFIANT"), QStringLiteral("NUMEROFACTURE"), QStringLiteral("PRIXVENTE") };
    // Columns of another table are passed over; names without regard to case.
    TDataImportWizardSettings s = load("[FIRST_STEP]\nImportType=0\n[xls_map]\nnumerofacture=b2-b40\nCLIENT=A2-A40;\n", defaults(facture));
    EXPECT_EQ(s.Map(), QStringList({ QStringLiteral("NUMEROFACTURE=B2-B40;") }));
    // Open ends stay open: there is no workbook to find them in.
    s = load("[FIRST_STEP]\nImportType=0\n[XLS_MAP]\nPRIXVENTE=[Feuil1]C-COLFINISH;\n[XLS_OPTIONS]\nSkipRows=1\nSkipCols=x\n",
        defaults(facture));
    EXPECT_EQ(s.Map(), QStringList({ QStringLiteral("PRIXVENTE=[FEUIL1]C-COLFINISH;") }));
    EXPECT_EQ(s.XLSSkipRows, 1);
    EXPECT_EQ(s.XLSSkipCols, 0);

    s = load("[FIRST_STEP]\nImportType=1\n[DBF_MAP]\nprixvente=PRIX\nOTHER=X\nIdentifiant=MF\n", defaults(facture));
    EXPECT_EQ(s.Map(), QStringList({ QStringLiteral("prixvente=PRIX"), QStringLiteral("Identifiant=MF") }));
    EXPECT_TRUE(s.SkipDeleted);

    s = load(
        "[FIRST_STEP]\nImportType=4\n[CSV_MAP]\nCODE=2\nADRESSE=0\nNOMBENEFICIAIRE=x\nOTHER=3\n[CSV_OPTIONS]\nDelimiter=#9\nQuote=#abc\n");
    EXPECT_EQ(s.Map(), QStringList({ QStringLiteral("CODE=2") }));
    EXPECT_EQ(s.Delimiter, QChar(9));
    EXPECT_EQ(s.Quote, QChar(0));

    // Fixed width waits for the file's preview; the skip count comes with it.
    s = load("[FIRST_STEP]\nImportType=3\n[TXT_MAP]\nCODE=0;5\nOTHER=5;5\nADRESSE=a;b\n[ASCII_OPTIONS]\nSkipLines=2\n");
    ASSERT_TRUE(s.PendingTXTMap.has_value());
    EXPECT_EQ(s.TXTSkipLines, 0);
    EXPECT_EQ(s.Map(), QStringList({ QStringLiteral("CODE=0;5") }));
    s.ApplyPendingTXTMap();
    EXPECT_FALSE(s.PendingTXTMap.has_value());
    EXPECT_EQ(s.TXTPositions.Value(QStringLiteral("code")), QStringLiteral("0"));
    EXPECT_EQ(s.TXTSizes.Value(QStringLiteral("CODE")), QStringLiteral("5"));
    EXPECT_TRUE(s.TXTSizes.Value(QStringLiteral("ADRESSE")).isEmpty());
    EXPECT_EQ(s.TXTSkipLines, 2);
}

TEST_F(Template, FileNameAndFirstStepFlags)
{
    // A new file name for a workbook empties the ranges made on the old one.
    TDataImportWizardSettings start = defaults();
    start.ImportType = aiXLS;
    start.FileName = QStringLiteral("old.xls");
    start.XLSRanges.SetValue(QStringLiteral("CODE"), QStringLiteral("A1-A9;"));
    start.XLSSkipRows = 4;
    TDataImportWizardSettings s = load("[FIRST_STEP]\nFileName=  new.xls  \nImportType=0\n[XLS_MAP]\nADRESSE=B1-B9;\n", start);
    EXPECT_EQ(s.FileName, QStringLiteral("new.xls"));
    EXPECT_EQ(s.Map(), QStringList({ QStringLiteral("ADRESSE=B1-B9;") }));
    EXPECT_EQ(s.XLSSkipRows, 0);
    // The same name in other letters is no new file.
    s = load("[FIRST_STEP]\nFileName=OLD.XLS\nImportType=0\n", start);
    EXPECT_EQ(s.FileName, QStringLiteral("old.xls"));
    EXPECT_EQ(s.Map(), QStringList({ QStringLiteral("CODE=A1-A9;") }));

    // GoToLastPage and AutoSaveTemplate: read only while the owner's are off.
    TDataImportWizardSettings on = defaults();
    on.GoToLastPage = true;
    on.AutoSaveTemplate = true;
    s = load("[FIRST_STEP]\nGoToLastPage=0\nAutoSaveTemplate=0\n", on);
    EXPECT_TRUE(s.GoToLastPage);
    EXPECT_TRUE(s.AutoSaveTemplate);
    s = load("[FIRST_STEP]\nGoToLastPage=5\n");
    EXPECT_TRUE(s.GoToLastPage);
    EXPECT_FALSE(s.AutoSaveTemplate);
}

TEST_F(Template, LastStepFlagsTheOwnerAlreadySetStaySet)
{
    TDataImportWizardSettings owner = defaults();
    owner.CommitAfterDone = true;
    owner.CloseAfterImport = true;
    owner.RewriteErrorLogFile = true;
    owner.ShowErrorLog = true;
    owner.ErrorLogFileName = QStringLiteral("owner.log");
    owner.CommitRecCount = 30;
    TDataImportWizardSettings s
        = load("[LAST_STEP]\nCommitAfterDone=0\nCloseAfterImport=0\nRewriteErrorLogFile=0\nShowErrorLog=0\nImportMode=7\n", owner);
    EXPECT_TRUE(s.CommitAfterDone);
    EXPECT_TRUE(s.CloseAfterImport);
    EXPECT_TRUE(s.RewriteErrorLogFile);
    EXPECT_TRUE(s.ShowErrorLog);
    // Missing or malformed keys take the owner's values.
    EXPECT_EQ(s.ErrorLogFileName, QStringLiteral("owner.log"));
    EXPECT_EQ(s.CommitRecCount, 30);
    EXPECT_EQ(s.ImportMode, qimInsertAll);

    // With the owner's flags off the template decides; a missing
    // ShowErrorLog ticks the box.
    owner = defaults();
    owner.CommitAfterDone = false;
    owner.RewriteErrorLogFile = false;
    s = load(
        "[LAST_STEP]\nCommitAfterDone=1\nRewriteErrorLogFile=1\nCloseAfterImport=1\nImportRecCount=12\nImportMode=4\nAddType=0\n", owner);
    EXPECT_TRUE(s.CommitAfterDone);
    EXPECT_TRUE(s.RewriteErrorLogFile);
    EXPECT_TRUE(s.CloseAfterImport);
    EXPECT_TRUE(s.ShowErrorLog);
    EXPECT_FALSE(s.ImportAllRecords);
    EXPECT_EQ(s.EffectiveImportRecCount(), 12);
    EXPECT_EQ(s.ImportMode, qimDelete);
    EXPECT_EQ(s.AddType, qatAppend);
    s = load("[LAST_STEP]\nShowErrorLog=0\nImportRecCount=0\n", owner);
    EXPECT_FALSE(s.ShowErrorLog);
    EXPECT_TRUE(s.ImportAllRecords);
}

TEST_F(Template, FormatsListsAndKeyColumns)
{
    TDataImportWizardSettings owner = defaults();
    owner.Formats.ShortDateFormat = QStringLiteral("dd/mm/yyyy");
    owner.Formats.DecimalSeparator = QLatin1Char(',');
    owner.KeyColumns = { QStringLiteral("CODE") };
    const TDataImportWizardSettings s = load("[BASE_FORMATS]\nDecimalSeparator=\nThousandSeparator=#32\nDateSeparator=ab\nTimeSeparator=#\n"
                                             "[BOOLEAN_TRUE]\nOui=\nYes=\n[keycolumns]\nADRESSE=\nUNKNOWN=\ncode=\n",
        owner);
    EXPECT_EQ(s.Formats.ShortDateFormat, QStringLiteral("dd/mm/yyyy"));
    // An empty value keeps the character, "ab" too; "#" alone is itself.
    EXPECT_EQ(s.Formats.DecimalSeparator, QLatin1Char(','));
    EXPECT_EQ(s.Formats.ThousandSeparator, QLatin1Char(' '));
    EXPECT_EQ(s.Formats.DateSeparator, owner.Formats.DateSeparator);
    EXPECT_EQ(s.Formats.TimeSeparator, QLatin1Char('#'));
    EXPECT_EQ(s.Formats.BooleanTrue, QStringList({ QStringLiteral("Oui"), QStringLiteral("Yes") }));
    EXPECT_TRUE(s.Formats.BooleanFalse.isEmpty());
    EXPECT_TRUE(s.Formats.NullValues.isEmpty());
    EXPECT_EQ(s.KeyColumns, QStringList({ QStringLiteral("ADRESSE"), QStringLiteral("CODE") }));
    // Without the section there are no key columns.
    EXPECT_TRUE(load("[FIRST_STEP]\n", owner).KeyColumns.isEmpty());
}

TEST_F(Template, DataFormatsAndReplacementsInFileOrder)
{
    TDataImportWizardSettings owner = defaults();
    owner.FieldFormat(QStringLiteral("ADRESSE"))->Replacements.Add(QStringLiteral("old"), QStringLiteral("gone"));
    owner.FieldFormat(QStringLiteral("ADRESSE"))->LeftQuote = QStringLiteral("[");
    owner.FieldFormat(QStringLiteral("CODE"))->Replacements.Add(QStringLiteral("k"), QStringLiteral("kept"));
    const TDataImportWizardSettings s = load("[REPLACEMENTS_NOMBENEFICIAIRE_0]\nTextToFind=before\nReplaceWith=x\n"
                                             "[data_formats_nombeneficiaire]\nCharCase=2\nQuoteAction=9\nGeneratorStep=x\n"
                                             "[REPLACEMENTS_NOMBENEFICIAIRE_0]\nTextToFind=after\nReplaceWith=y\nIgnoreCase=1\n"
                                             "[REPLACEMENTS_NOMBENEFICIAIRE_1]\nTextToFind=after\nReplaceWith=y\nIgnoreCase=1\n"
                                             "[DATA_FORMATS_ADRESSE]\nRightQuote=]\n"
                                             "[REPLACEMENTS_CODE_0]\nTextToFind=k\nReplaceWith=kept\n"
                                             "[REPLACEMENTS_CODE_1]\nTextToFind=K\nReplaceWith=kept\n"
                                             "[REPLACEMENTS_UNKNOWN_0]\nTextToFind=z\n[REPLACEMENTS_CODE]\nTextToFind=no digits\n"
                                             "[DATA_FORMATS_OTHER]\nCharCase=1\n",
        owner);
    const TDataImportFieldFormat *name = s.FieldFormat(QStringLiteral("NOMBENEFICIAIRE"));
    EXPECT_EQ(name->CharCase, iccLower);
    EXPECT_EQ(name->QuoteAction, qaNone);
    EXPECT_EQ(name->GeneratorStep, 0);
    // The DATA_FORMATS_ section emptied what came before it; a copy is not added twice.
    ASSERT_EQ(name->Replacements.Count(), 1);
    EXPECT_EQ(name->Replacements.Items(0).TextToFind, QStringLiteral("after"));
    EXPECT_TRUE(name->Replacements.Items(0).IgnoreCase);
    // Missing keys keep the current values, but replacements are emptied.
    const TDataImportFieldFormat *address = s.FieldFormat(QStringLiteral("ADRESSE"));
    EXPECT_EQ(address->LeftQuote, QStringLiteral("["));
    EXPECT_EQ(address->RightQuote, QStringLiteral("]"));
    EXPECT_EQ(address->Replacements.Count(), 0);
    const TDataImportFieldFormat *code = s.FieldFormat(QStringLiteral("CODE"));
    ASSERT_EQ(code->Replacements.Count(), 2);
    EXPECT_EQ(code->Replacements.Items(1).TextToFind, QStringLiteral("K"));
}

// ---------------------------------------------------------------------------
// Characters as typed and as stored
// ---------------------------------------------------------------------------

TEST(WizardCharacters, TypedAndStoredForms)
{
    struct Typed
    {
        QString text;
        QChar expected;
    };
    const QChar current = QLatin1Char(';');
    const QList<Typed> typed = {
        { QStringLiteral("TAB"), QChar(9) },
        { QStringLiteral("SPACE"), QChar(32) },
        { QStringLiteral(","), QLatin1Char(',') },
        { QStringLiteral("#9"), QChar(9) },
        { QStringLiteral("#124"), QLatin1Char('|') },
        { QStringLiteral("#"), QLatin1Char('#') },
        { QStringLiteral("#x"), QChar(0) },
        { QStringLiteral("#128"), QChar(0x20AC) }, // the code page's euro
        { QStringLiteral("#300"), current },
        { QStringLiteral("ab"), current },
        { QString(), current },
    };
    for (const Typed &t : typed)
        EXPECT_EQ(ApplyWizardCharText(t.text, current), t.expected) << t.text.toStdString();
    EXPECT_EQ(WizardCharText(QChar(9)), QStringLiteral("TAB"));
    EXPECT_EQ(WizardCharText(QChar(32)), QStringLiteral("SPACE"));
    EXPECT_EQ(WizardCharText(QChar(0)), QStringLiteral("#0"));
    EXPECT_EQ(WizardCharText(QChar(31)), QStringLiteral("#31"));
    EXPECT_EQ(WizardCharText(QLatin1Char('"')), QStringLiteral("\""));

    EXPECT_EQ(EncodeTemplateChar(QChar(9)), QStringLiteral("#9"));
    EXPECT_EQ(EncodeTemplateChar(QChar(32)), QStringLiteral("#32"));
    EXPECT_EQ(EncodeTemplateChar(QLatin1Char('!')), QStringLiteral("!"));
    EXPECT_EQ(DecodeTemplateChar(QStringLiteral("#32"), current), QChar(32));
    EXPECT_EQ(DecodeTemplateChar(QStringLiteral("TAB"), current), current);
    EXPECT_EQ(DecodeTemplateChar(QString(), current), current);
}
