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

ImportSettings defaults(const QStringList &columns = TiersColumns)
{
    ImportSettings s;
    s.setColumns(columns);
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
ImportSettings everySetting(AllowedImport kind)
{
    ImportSettings s = defaults();
    s.importType = kind;
    s.fileName = QStringLiteral("/data/clients") + importKindExtension(kind);
    s.goToLastPage = true;
    s.autoSaveTemplate = true;
    switch (kind) {
    case aiXLS:
        s.xlsRanges.setValue(QStringLiteral("CODE"), QStringLiteral("A2-A40;"));
        s.xlsRanges.setValue(QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("[CLIENTS]B-COLFINISH;[:2]C3-C9;"));
        s.xlsSkipCols = 1;
        s.xlsSkipRows = 2;
        break;
    case aiDBF:
        s.dbfPairs
            = { { QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("NOM") }, { QStringLiteral("CODE"), QStringLiteral("CODE_CLI") } };
        s.skipDeleted = false;
        break;
    case aiXML:
        s.xmlPairs = { { QStringLiteral("ADRESSE"), QStringLiteral("Address") }, { QStringLiteral("CODE"), QStringLiteral("Id") } };
        s.writeOnFly = true;
        break;
    case aiTXT:
        s.txtPositions.setValue(QStringLiteral("CODE"), QStringLiteral("0"));
        s.txtSizes.setValue(QStringLiteral("CODE"), QStringLiteral("5"));
        s.txtPositions.setValue(QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("10"));
        s.txtSizes.setValue(QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("15"));
        s.txtSkipLines = 3;
        s.textEncoding = teOem850;
        break;
    case aiCSV:
        s.setDelimiter(QChar(9));
        s.setQuote(QLatin1Char('\''));
        s.csvColumns.setValue(QStringLiteral("CODE"), QStringLiteral("1"));
        s.csvColumns.setValue(QStringLiteral("ADRESSE"), QStringLiteral("4"));
        s.csvSkipLines = 1;
        s.textEncoding = teUtf8;
        break;
    }
    ImportFormats &f = s.formats;
    f.decimalSeparator = QLatin1Char('.');
    f.thousandSeparator = QLatin1Char(' ');
    f.shortDateFormat = QStringLiteral("yyyy-mm-dd");
    f.longDateFormat = QStringLiteral("dddd d mmmm yyyy");
    f.dateSeparator = QLatin1Char('-');
    f.shortTimeFormat = QStringLiteral("hh.nn");
    f.longTimeFormat = QStringLiteral("hh.nn.ss");
    f.timeSeparator = QLatin1Char('.');
    f.booleanTrue = { QStringLiteral("Oui"), QStringLiteral("O") };
    f.booleanFalse = { QStringLiteral("Non") };
    f.nullValues = { QStringLiteral("NULL"), QStringLiteral("N/A") };

    FieldFormat *code = s.fieldFormat(QStringLiteral("CODE"));
    code->generatorValue = 100;
    code->generatorStep = 10;
    FieldFormat *name = s.fieldFormat(QStringLiteral("NOMBENEFICIAIRE"));
    name->nullValue = QStringLiteral("N/A");
    name->defaultValue = QStringLiteral("''");
    name->leftQuote = QStringLiteral("<");
    name->rightQuote = QStringLiteral(">");
    name->quoteAction = qaRemove;
    name->charCase = iccUpperFirstWord;
    name->charSet = icsAnsi;
    name->replacements.add(QStringLiteral("Ste"), QStringLiteral("Société"), true);
    name->replacements.add(QStringLiteral("&"), QStringLiteral("et"), false);
    s.fieldFormat(QStringLiteral("ADRESSE"))->constantValue = QStringLiteral("Tunis");
    s.fieldFormat(QStringLiteral("IDENTIFIANT"))->charCase = iccUpper;

    s.commitAfterDone = false;
    s.commitRecCount = 50;
    s.importAllRecords = false;
    s.importRecCount = 7;
    s.closeAfterImport = true;
    s.errorLog = true;
    s.errorLogFileName = QStringLiteral("logs/imp.log");
    s.rewriteErrorLogFile = false;
    s.showErrorLog = true;
    s.importMode = qimUpdateOrInsert;
    s.addType = qatAppend;
    s.keyColumns = { QStringLiteral("NOMBENEFICIAIRE"), QStringLiteral("CODE") };
    return s;
}

// The owner's values under which a template's flags are all read.
ImportSettings permissiveComponent()
{
    ImportSettings c = defaults();
    c.commitAfterDone = false;
    c.rewriteErrorLogFile = false;
    return c;
}

void expectSameFormat(const FieldFormat &a, const FieldFormat &b)
{
    SCOPED_TRACE(a.fieldName.toStdString());
    EXPECT_EQ(a.generatorValue, b.generatorValue);
    EXPECT_EQ(a.generatorStep, b.generatorStep);
    EXPECT_EQ(a.constantValue, b.constantValue);
    EXPECT_EQ(a.nullValue, b.nullValue);
    EXPECT_EQ(a.defaultValue, b.defaultValue);
    EXPECT_EQ(a.leftQuote, b.leftQuote);
    EXPECT_EQ(a.rightQuote, b.rightQuote);
    EXPECT_EQ(a.quoteAction, b.quoteAction);
    EXPECT_EQ(a.charCase, b.charCase);
    EXPECT_EQ(a.charSet, b.charSet);
    ASSERT_EQ(a.replacements.count(), b.replacements.count());
    for (int i = 0; i < a.replacements.count(); ++i) {
        EXPECT_EQ(a.replacements.at(i).textToFind, b.replacements.at(i).textToFind);
        EXPECT_EQ(a.replacements.at(i).replaceWith, b.replacements.at(i).replaceWith);
        EXPECT_EQ(a.replacements.at(i).ignoreCase, b.replacements.at(i).ignoreCase);
    }
}

void expectSameSettings(const ImportSettings &a, const ImportSettings &b)
{
    EXPECT_EQ(a.importType, b.importType);
    EXPECT_EQ(a.fileName, b.fileName);
    EXPECT_EQ(a.goToLastPage, b.goToLastPage);
    EXPECT_EQ(a.autoSaveTemplate, b.autoSaveTemplate);
    EXPECT_EQ(a.map(), b.map());
    EXPECT_EQ(a.xlsSkipCols, b.xlsSkipCols);
    EXPECT_EQ(a.xlsSkipRows, b.xlsSkipRows);
    EXPECT_EQ(a.txtSkipLines, b.txtSkipLines);
    EXPECT_EQ(a.csvSkipLines, b.csvSkipLines);
    EXPECT_EQ(a.skipDeleted, b.skipDeleted);
    EXPECT_EQ(a.writeOnFly, b.writeOnFly);
    if (a.importType == aiCSV) {
        EXPECT_EQ(a.delimiter, b.delimiter);
        EXPECT_EQ(a.quote, b.quote);
    }
    if (a.importType == aiCSV || a.importType == aiTXT)
        EXPECT_EQ(a.textEncoding, b.textEncoding);
    const ImportFormats &fa = a.formats, &fb = b.formats;
    EXPECT_EQ(fa.decimalSeparator, fb.decimalSeparator);
    EXPECT_EQ(fa.thousandSeparator, fb.thousandSeparator);
    EXPECT_EQ(fa.shortDateFormat, fb.shortDateFormat);
    EXPECT_EQ(fa.longDateFormat, fb.longDateFormat);
    EXPECT_EQ(fa.dateSeparator, fb.dateSeparator);
    EXPECT_EQ(fa.shortTimeFormat, fb.shortTimeFormat);
    EXPECT_EQ(fa.longTimeFormat, fb.longTimeFormat);
    EXPECT_EQ(fa.timeSeparator, fb.timeSeparator);
    EXPECT_EQ(fa.booleanTrue, fb.booleanTrue);
    EXPECT_EQ(fa.booleanFalse, fb.booleanFalse);
    EXPECT_EQ(fa.nullValues, fb.nullValues);
    for (const QString &column : a.columns()) {
        FieldFormat fa1 = *a.fieldFormat(column);
        const FieldFormat fb1 = *b.fieldFormat(column);
        // A counter's other settings are not worth keeping: nothing applies them.
        if (fa1.generatorStep != 0)
            fa1.replacements.clear();
        expectSameFormat(fa1, fb1);
    }
    EXPECT_EQ(a.commitAfterDone, b.commitAfterDone);
    EXPECT_EQ(a.commitRecCount, b.commitRecCount);
    EXPECT_EQ(a.effectiveImportRecCount(), b.effectiveImportRecCount());
    EXPECT_EQ(a.closeAfterImport, b.closeAfterImport);
    EXPECT_EQ(a.errorLog, b.errorLog);
    EXPECT_EQ(a.errorLogFileName, b.errorLogFileName);
    EXPECT_EQ(a.rewriteErrorLogFile, b.rewriteErrorLogFile);
    EXPECT_EQ(a.showErrorLog, b.showErrorLog);
    EXPECT_EQ(a.importMode, b.importMode);
    EXPECT_EQ(a.addType, b.addType);
    EXPECT_EQ(a.keyColumns, b.keyColumns);
}

class Template : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString file = dir.filePath(QStringLiteral("clients.imp"));

    // Loads text as a template over the defaults of columns.
    ImportSettings load(
        const QByteArray &text, const ImportSettings &component = defaults(), AllowedImports allowed = AllowedImports::all())
    {
        writeFile(file, text);
        ImportSettings s = component;
        TemplateFile::load(file, s, component, allowed);
        return s;
    }
};

} // namespace

// ---------------------------------------------------------------------------
// Round trip and layout
// ---------------------------------------------------------------------------

TEST_F(Template, EverySettingOfEveryKindComesBack)
{
    for (AllowedImport kind : { aiXLS, aiDBF, aiXML, aiTXT, aiCSV }) {
        SCOPED_TRACE(int(kind));
        const ImportSettings saved = everySetting(kind);
        TemplateFile::save(file, saved);
        ImportSettings loaded = defaults();
        TemplateFile::load(file, loaded, permissiveComponent());
        if (kind == aiTXT) {
            // Positions wait for the page's preview of the file.
            ASSERT_TRUE(loaded.pendingTxtMap.has_value());
            EXPECT_TRUE(loaded.txtSizes.isEmpty());
            loaded.applyPendingTxtMap();
        }
        expectSameSettings(saved, loaded);
    }
}

TEST_F(Template, SectionsAndKeysInTheirOrderWithTheirEncodings)
{
    ImportSettings s = defaults({ QStringLiteral("CODE"), QStringLiteral("NOM") });
    s.importType = aiCSV;
    s.fileName = QStringLiteral("c.csv");
    s.setDelimiter(QChar(9));
    s.setQuote(QLatin1Char('"'));
    s.csvColumns.setValue(QStringLiteral("NOM"), QStringLiteral("2"));
    s.csvColumns.setValue(QStringLiteral("CODE"), QStringLiteral("1"));
    s.formats.decimalSeparator = QLatin1Char(',');
    s.formats.thousandSeparator = QLatin1Char(' ');
    s.formats.dateSeparator = QLatin1Char('/');
    s.formats.timeSeparator = QLatin1Char(':');
    s.formats.shortDateFormat = QStringLiteral("dd/mm/yyyy");
    s.formats.longDateFormat = QStringLiteral("dd mmmm yyyy");
    s.formats.shortTimeFormat = QStringLiteral("hh:nn");
    s.formats.longTimeFormat = QStringLiteral("hh:nn:ss");
    s.formats.booleanTrue = { QStringLiteral("True"), QStringLiteral("Oui") };
    s.formats.booleanFalse = {};
    s.formats.nullValues = { QStringLiteral("Null") };
    FieldFormat *nom = s.fieldFormat(QStringLiteral("Nom"));
    nom->charCase = iccUpper;
    nom->replacements.add(QStringLiteral("a"), QStringLiteral("b"), true);
    s.fieldFormat(QStringLiteral("CODE"))->generatorStep = 1;
    s.fieldFormat(QStringLiteral("CODE"))->replacements.add(QStringLiteral("x"), QStringLiteral("y"));
    s.keyColumns = { QStringLiteral("NOM") };
    TemplateFile::save(file, s);

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
    ImportSettings s = defaults({ QStringLiteral("CODE") });
    s.importType = aiCSV;
    s.fileName = QStringLiteral("c.csv");
    s.setDelimiter(QLatin1Char(';'));
    s.textEncoding = teUtf8;
    TemplateFile::save(file, s);
    const QStringList lines = fileLines(file);
    const qsizetype options = lines.indexOf(QStringLiteral("[CSV_OPTIONS]"));
    ASSERT_GE(options, 0);
    EXPECT_EQ(lines.mid(options, 5), QStringList({ "[CSV_OPTIONS]", "SkipLines=0", "Delimiter=;", "Quote=\"", "Encoding=1" }));

    // What a template says, or single-byte text when it says nothing, over
    // a wizard that had chosen otherwise.
    ImportSettings utf8 = defaults();
    utf8.textEncoding = teUtf8;
    struct Case
    {
        const char *text;
        TextEncoding expected;
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
        EXPECT_EQ(load(c.text, utf8).textEncoding, c.expected) << c.text;
}

TEST_F(Template, SavingOverAFileLeavesOnlyTheTemplate)
{
    writeFile(file, "[OTHER]\r\nKey=1\r\n[XLS_MAP]\r\nCODE=A1;\r\n[LAST_STEP]\r\nExtra=5\r\n");
    ImportSettings s = defaults();
    s.importType = aiCSV;
    TemplateFile::save(file, s);
    const QByteArray text = readAll(file);
    EXPECT_FALSE(text.contains("OTHER"));
    EXPECT_FALSE(text.contains("XLS_MAP"));
    EXPECT_FALSE(text.contains("Extra"));
    EXPECT_TRUE(text.contains("[CSV_OPTIONS]"));

    // A blank name writes nothing; a file that cannot be written says so.
    TemplateFile::save(QStringLiteral("  "), s);
    try {
        TemplateFile::save(dir.filePath(QStringLiteral("missing/dir/t.imp")), s);
        ADD_FAILURE() << "saved into a missing directory";
    } catch (const ImportError &e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("cannot be written")));
    }
}

TEST_F(Template, DataFormatsOnlyWhereAKeyIsWritten)
{
    ImportSettings s = defaults();
    // A null value without its default changes nothing, so nothing is saved.
    s.fieldFormat(QStringLiteral("CODE"))->nullValue = QStringLiteral("N/A");
    // A constant hides the null value and the default.
    FieldFormat *name = s.fieldFormat(QStringLiteral("NOMBENEFICIAIRE"));
    name->constantValue = QStringLiteral("X");
    name->nullValue = QStringLiteral("N/A");
    name->defaultValue = QStringLiteral("?");
    // Replacements alone make no DATA_FORMATS_ key but have their sections.
    s.fieldFormat(QStringLiteral("ADRESSE"))->replacements.add(QStringLiteral("Av."), QStringLiteral("Avenue"));
    TemplateFile::save(file, s);
    const QStringList lines = fileLines(file);
    EXPECT_FALSE(lines.contains(QStringLiteral("[DATA_FORMATS_CODE]")));
    const qsizetype at = lines.indexOf(QStringLiteral("[DATA_FORMATS_NOMBENEFICIAIRE]"));
    ASSERT_GE(at, 0);
    EXPECT_EQ(lines.mid(at + 1, 2), QStringList({ QStringLiteral("ConstantValue=X"), QStringLiteral("[REPLACEMENTS_ADRESSE_0]") }));
    EXPECT_FALSE(lines.contains(QStringLiteral("[DATA_FORMATS_ADRESSE]")));

    const ImportSettings loaded = load(readAll(file));
    EXPECT_EQ(loaded.fieldFormat(QStringLiteral("ADRESSE"))->replacements.count(), 1);
    EXPECT_TRUE(loaded.fieldFormat(QStringLiteral("CODE"))->nullValue.isEmpty());
}

// ---------------------------------------------------------------------------
// Loading rules
// ---------------------------------------------------------------------------

TEST_F(Template, RefusedTemplatesChangeNothing)
{
    ImportSettings s = defaults();
    s.fileName = QStringLiteral("keep.csv");
    s.importType = aiCSV;
    try {
        TemplateFile::load(dir.filePath(QStringLiteral("none.imp")), s, defaults());
        ADD_FAILURE();
    } catch (const ImportError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("File %1 does not exist").arg(dir.filePath(QStringLiteral("none.imp"))));
    }
    struct Case
    {
        const char *text;
        AllowedImports allowed;
        QString message;
    };
    const QList<Case> cases = {
        { "[FIRST_STEP]\nFileName=other.xml\nImportType=2\n", { aiCSV, aiXLS }, QStringLiteral("Unknown import source") },
        { "[FIRST_STEP]\nImportType=9\n", AllowedImports::all(), QStringLiteral("Unknown import source") },
        // No kind at all means the spreadsheet.
        { "[FIRST_STEP]\nFileName=x.csv\n", { aiCSV }, QStringLiteral("Unknown import source") },
        { "[FIRST_STEP]\nImportType=0\n[XLS_MAP]\nCODE=A1-D9;\n", AllowedImports::all(),
            QStringLiteral("Range A1-D9 is fail. It must be COL or ROW") },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        writeFile(file, c.text);
        try {
            TemplateFile::load(file, s, defaults(), c.allowed);
            ADD_FAILURE() << "loaded";
        } catch (const ImportError &e) {
            EXPECT_EQ(e.text(), c.message);
        }
        EXPECT_EQ(s.fileName, QStringLiteral("keep.csv"));
        EXPECT_EQ(s.importType, aiCSV);
    }
}

TEST_F(Template, MapsOfEachKind)
{
    const QStringList facture = { QStringLiteral("IDENTIFIANT"), QStringLiteral("NUMEROFACTURE"), QStringLiteral("PRIXVENTE") };
    // Columns of another table are passed over; names without regard to case.
    ImportSettings s = load("[FIRST_STEP]\nImportType=0\n[xls_map]\nnumerofacture=b2-b40\nCLIENT=A2-A40;\n", defaults(facture));
    EXPECT_EQ(s.map(), QStringList({ QStringLiteral("NUMEROFACTURE=B2-B40;") }));
    // Open ends stay open: there is no workbook to find them in.
    s = load("[FIRST_STEP]\nImportType=0\n[XLS_MAP]\nPRIXVENTE=[Feuil1]C-COLFINISH;\n[XLS_OPTIONS]\nSkipRows=1\nSkipCols=x\n",
        defaults(facture));
    EXPECT_EQ(s.map(), QStringList({ QStringLiteral("PRIXVENTE=[FEUIL1]C-COLFINISH;") }));
    EXPECT_EQ(s.xlsSkipRows, 1);
    EXPECT_EQ(s.xlsSkipCols, 0);

    s = load("[FIRST_STEP]\nImportType=1\n[DBF_MAP]\nprixvente=PRIX\nOTHER=X\nIdentifiant=MF\n", defaults(facture));
    EXPECT_EQ(s.map(), QStringList({ QStringLiteral("prixvente=PRIX"), QStringLiteral("Identifiant=MF") }));
    EXPECT_TRUE(s.skipDeleted);

    s = load(
        "[FIRST_STEP]\nImportType=4\n[CSV_MAP]\nCODE=2\nADRESSE=0\nNOMBENEFICIAIRE=x\nOTHER=3\n[CSV_OPTIONS]\nDelimiter=#9\nQuote=#abc\n");
    EXPECT_EQ(s.map(), QStringList({ QStringLiteral("CODE=2") }));
    EXPECT_EQ(s.delimiter, QChar(9));
    EXPECT_EQ(s.quote, QChar(0));

    // Fixed width waits for the file's preview; the skip count comes with it.
    s = load("[FIRST_STEP]\nImportType=3\n[TXT_MAP]\nCODE=0;5\nOTHER=5;5\nADRESSE=a;b\n[ASCII_OPTIONS]\nSkipLines=2\n");
    ASSERT_TRUE(s.pendingTxtMap.has_value());
    EXPECT_EQ(s.txtSkipLines, 0);
    EXPECT_EQ(s.map(), QStringList({ QStringLiteral("CODE=0;5") }));
    s.applyPendingTxtMap();
    EXPECT_FALSE(s.pendingTxtMap.has_value());
    EXPECT_EQ(s.txtPositions.value(QStringLiteral("code")), QStringLiteral("0"));
    EXPECT_EQ(s.txtSizes.value(QStringLiteral("CODE")), QStringLiteral("5"));
    EXPECT_TRUE(s.txtSizes.value(QStringLiteral("ADRESSE")).isEmpty());
    EXPECT_EQ(s.txtSkipLines, 2);
}

TEST_F(Template, FileNameAndFirstStepFlags)
{
    // A new file name for a workbook empties the ranges made on the old one.
    ImportSettings start = defaults();
    start.importType = aiXLS;
    start.fileName = QStringLiteral("old.xls");
    start.xlsRanges.setValue(QStringLiteral("CODE"), QStringLiteral("A1-A9;"));
    start.xlsSkipRows = 4;
    ImportSettings s = load("[FIRST_STEP]\nFileName=  new.xls  \nImportType=0\n[XLS_MAP]\nADRESSE=B1-B9;\n", start);
    EXPECT_EQ(s.fileName, QStringLiteral("new.xls"));
    EXPECT_EQ(s.map(), QStringList({ QStringLiteral("ADRESSE=B1-B9;") }));
    EXPECT_EQ(s.xlsSkipRows, 0);
    // The same name in other letters is no new file.
    s = load("[FIRST_STEP]\nFileName=OLD.XLS\nImportType=0\n", start);
    EXPECT_EQ(s.fileName, QStringLiteral("old.xls"));
    EXPECT_EQ(s.map(), QStringList({ QStringLiteral("CODE=A1-A9;") }));

    // GoToLastPage and AutoSaveTemplate: read only while the owner's are off.
    ImportSettings on = defaults();
    on.goToLastPage = true;
    on.autoSaveTemplate = true;
    s = load("[FIRST_STEP]\nGoToLastPage=0\nAutoSaveTemplate=0\n", on);
    EXPECT_TRUE(s.goToLastPage);
    EXPECT_TRUE(s.autoSaveTemplate);
    s = load("[FIRST_STEP]\nGoToLastPage=5\n");
    EXPECT_TRUE(s.goToLastPage);
    EXPECT_FALSE(s.autoSaveTemplate);
}

TEST_F(Template, LastStepFlagsTheOwnerAlreadySetStaySet)
{
    ImportSettings owner = defaults();
    owner.commitAfterDone = true;
    owner.closeAfterImport = true;
    owner.rewriteErrorLogFile = true;
    owner.showErrorLog = true;
    owner.errorLogFileName = QStringLiteral("owner.log");
    owner.commitRecCount = 30;
    ImportSettings s
        = load("[LAST_STEP]\nCommitAfterDone=0\nCloseAfterImport=0\nRewriteErrorLogFile=0\nShowErrorLog=0\nImportMode=7\n", owner);
    EXPECT_TRUE(s.commitAfterDone);
    EXPECT_TRUE(s.closeAfterImport);
    EXPECT_TRUE(s.rewriteErrorLogFile);
    EXPECT_TRUE(s.showErrorLog);
    // Missing or malformed keys take the owner's values.
    EXPECT_EQ(s.errorLogFileName, QStringLiteral("owner.log"));
    EXPECT_EQ(s.commitRecCount, 30);
    EXPECT_EQ(s.importMode, qimInsertAll);

    // With the owner's flags off the template decides; a missing
    // ShowErrorLog ticks the box.
    owner = defaults();
    owner.commitAfterDone = false;
    owner.rewriteErrorLogFile = false;
    s = load(
        "[LAST_STEP]\nCommitAfterDone=1\nRewriteErrorLogFile=1\nCloseAfterImport=1\nImportRecCount=12\nImportMode=4\nAddType=0\n", owner);
    EXPECT_TRUE(s.commitAfterDone);
    EXPECT_TRUE(s.rewriteErrorLogFile);
    EXPECT_TRUE(s.closeAfterImport);
    EXPECT_TRUE(s.showErrorLog);
    EXPECT_FALSE(s.importAllRecords);
    EXPECT_EQ(s.effectiveImportRecCount(), 12);
    EXPECT_EQ(s.importMode, qimDelete);
    EXPECT_EQ(s.addType, qatAppend);
    s = load("[LAST_STEP]\nShowErrorLog=0\nImportRecCount=0\n", owner);
    EXPECT_FALSE(s.showErrorLog);
    EXPECT_TRUE(s.importAllRecords);
}

TEST_F(Template, FormatsListsAndKeyColumns)
{
    ImportSettings owner = defaults();
    owner.formats.shortDateFormat = QStringLiteral("dd/mm/yyyy");
    owner.formats.decimalSeparator = QLatin1Char(',');
    owner.keyColumns = { QStringLiteral("CODE") };
    const ImportSettings s = load("[BASE_FORMATS]\nDecimalSeparator=\nThousandSeparator=#32\nDateSeparator=ab\nTimeSeparator=#\n"
                                             "[BOOLEAN_TRUE]\nOui=\nYes=\n[keycolumns]\nADRESSE=\nUNKNOWN=\ncode=\n",
        owner);
    EXPECT_EQ(s.formats.shortDateFormat, QStringLiteral("dd/mm/yyyy"));
    // An empty value keeps the character, "ab" too; "#" alone is itself.
    EXPECT_EQ(s.formats.decimalSeparator, QLatin1Char(','));
    EXPECT_EQ(s.formats.thousandSeparator, QLatin1Char(' '));
    EXPECT_EQ(s.formats.dateSeparator, owner.formats.dateSeparator);
    EXPECT_EQ(s.formats.timeSeparator, QLatin1Char('#'));
    EXPECT_EQ(s.formats.booleanTrue, QStringList({ QStringLiteral("Oui"), QStringLiteral("Yes") }));
    EXPECT_TRUE(s.formats.booleanFalse.isEmpty());
    EXPECT_TRUE(s.formats.nullValues.isEmpty());
    EXPECT_EQ(s.keyColumns, QStringList({ QStringLiteral("ADRESSE"), QStringLiteral("CODE") }));
    // Without the section there are no key columns.
    EXPECT_TRUE(load("[FIRST_STEP]\n", owner).keyColumns.isEmpty());
}

TEST_F(Template, DataFormatsAndReplacementsInFileOrder)
{
    ImportSettings owner = defaults();
    owner.fieldFormat(QStringLiteral("ADRESSE"))->replacements.add(QStringLiteral("old"), QStringLiteral("gone"));
    owner.fieldFormat(QStringLiteral("ADRESSE"))->leftQuote = QStringLiteral("[");
    owner.fieldFormat(QStringLiteral("CODE"))->replacements.add(QStringLiteral("k"), QStringLiteral("kept"));
    const ImportSettings s = load("[REPLACEMENTS_NOMBENEFICIAIRE_0]\nTextToFind=before\nReplaceWith=x\n"
                                             "[data_formats_nombeneficiaire]\nCharCase=2\nQuoteAction=9\nGeneratorStep=x\n"
                                             "[REPLACEMENTS_NOMBENEFICIAIRE_0]\nTextToFind=after\nReplaceWith=y\nIgnoreCase=1\n"
                                             "[REPLACEMENTS_NOMBENEFICIAIRE_1]\nTextToFind=after\nReplaceWith=y\nIgnoreCase=1\n"
                                             "[DATA_FORMATS_ADRESSE]\nRightQuote=]\n"
                                             "[REPLACEMENTS_CODE_0]\nTextToFind=k\nReplaceWith=kept\n"
                                             "[REPLACEMENTS_CODE_1]\nTextToFind=K\nReplaceWith=kept\n"
                                             "[REPLACEMENTS_UNKNOWN_0]\nTextToFind=z\n[REPLACEMENTS_CODE]\nTextToFind=no digits\n"
                                             "[DATA_FORMATS_OTHER]\nCharCase=1\n",
        owner);
    const FieldFormat *name = s.fieldFormat(QStringLiteral("NOMBENEFICIAIRE"));
    EXPECT_EQ(name->charCase, iccLower);
    EXPECT_EQ(name->quoteAction, qaNone);
    EXPECT_EQ(name->generatorStep, 0);
    // The DATA_FORMATS_ section emptied what came before it; a copy is not added twice.
    ASSERT_EQ(name->replacements.count(), 1);
    EXPECT_EQ(name->replacements.at(0).textToFind, QStringLiteral("after"));
    EXPECT_TRUE(name->replacements.at(0).ignoreCase);
    // Missing keys keep the current values, but replacements are emptied.
    const FieldFormat *address = s.fieldFormat(QStringLiteral("ADRESSE"));
    EXPECT_EQ(address->leftQuote, QStringLiteral("["));
    EXPECT_EQ(address->rightQuote, QStringLiteral("]"));
    EXPECT_EQ(address->replacements.count(), 0);
    const FieldFormat *code = s.fieldFormat(QStringLiteral("CODE"));
    ASSERT_EQ(code->replacements.count(), 2);
    EXPECT_EQ(code->replacements.at(1).textToFind, QStringLiteral("K"));
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
        EXPECT_EQ(applyWizardCharText(t.text, current), t.expected) << t.text.toStdString();
    EXPECT_EQ(wizardCharText(QChar(9)), QStringLiteral("TAB"));
    EXPECT_EQ(wizardCharText(QChar(32)), QStringLiteral("SPACE"));
    EXPECT_EQ(wizardCharText(QChar(0)), QStringLiteral("#0"));
    EXPECT_EQ(wizardCharText(QChar(31)), QStringLiteral("#31"));
    EXPECT_EQ(wizardCharText(QLatin1Char('"')), QStringLiteral("\""));

    EXPECT_EQ(encodeTemplateChar(QChar(9)), QStringLiteral("#9"));
    EXPECT_EQ(encodeTemplateChar(QChar(32)), QStringLiteral("#32"));
    EXPECT_EQ(encodeTemplateChar(QLatin1Char('!')), QStringLiteral("!"));
    EXPECT_EQ(decodeTemplateChar(QStringLiteral("#32"), current), QChar(32));
    EXPECT_EQ(decodeTemplateChar(QStringLiteral("TAB"), current), current);
    EXPECT_EQ(decodeTemplateChar(QString(), current), current);
}
