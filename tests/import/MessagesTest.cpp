#include "import/engine/ImportMessages.h"

#include "tests/support/ScopedLanguage.h"

#include <gtest/gtest.h>

namespace {

// The hook is process-wide: it goes when the scope ends, whatever the
// assertions inside found.
class LookupHookGuard
{
public:
    explicit LookupHookGuard(MessageLookupHook hook) { setMessageLookupHook(std::move(hook)); }
    ~LookupHookGuard() { setMessageLookupHook({}); }
    LookupHookGuard(const LookupHookGuard &) = delete;
    LookupHookGuard &operator=(const LookupHookGuard &) = delete;
};

} // namespace

TEST(DataImportMessages, TableHookAndPlaceHolders)
{
    EXPECT_EQ(loadMessage(24070), QStringLiteral("Map is empty"));
    EXPECT_EQ(formatMessage(26140, { QStringLiteral("t"), QStringLiteral("2"), QStringLiteral("refused") }),
        QStringLiteral("t - Line 2: refused"));
    EXPECT_EQ(formatMessage(24004, { QStringLiteral("x") }), QStringLiteral("Wrong date format \"x\""));
    {
        LookupHookGuard hook([](int id) { return id == 24070 ? QStringLiteral("Carte vide") : QString(); });
        EXPECT_EQ(loadMessage(24070), QStringLiteral("Carte vide"));
        EXPECT_EQ(loadMessage(24000), QStringLiteral("DataSet is not defined"));
    }
    EXPECT_TRUE(loadMessage(1).isEmpty());
}

// The readers' numbered texts: each name reaches its own words, and the
// place holders fill as the readers throw them.
TEST(DataImportMessages, ReadersTablesByName)
{
    const struct
    {
        int id;
        QStringList args;
        const char *text;
    } cases[] = {
        { ImportMsg::XlsFileInvalid, {}, "Error reading Excel records. File invalid" },
        { ImportMsg::XlsReadError, {}, "Error reading record" },
        { ImportMsg::XlsRecordInvalid, { "fd" }, "Record with ID 0xfd is invalid" },
        { ImportMsg::XlsWorkbookTooLarge, {}, "The workbook is too large to be read" },
        { ImportMsg::XlsInvalidVersion, {}, "File is saved with an invalid Excel version" },
        { ImportMsg::XlsCannotAccessCell, { "B7", "Float" }, "Cannot access cell 'B7' as type Float" },
        { ImportMsg::XlsInvalidRow, { "-1" }, "Invalid Row (-1)" },
        { ImportMsg::XlsInvalidColumn, { "256" }, "Invalid Column (256)" },
        { ImportMsg::XlsUnsupportedToken, { "60" }, "Unsupported token 0x60" },
        { ImportMsg::XlsFormulaNotSupported, { "3", "2", "60" }, "Formula at Row 3, column 2 is not supported. Token Id: 0x60" },
        { ImportMsg::XlsFileProtected, { "a.xls" }, "File a.xls is protected by a password" },
        { ImportMsg::XlsNotAWorkbook, { "a.xls" }, "File a.xls is not an Excel Workbook" },
        { ImportMsg::FileNameNotDefined, {}, "File name is not defined" },
        { ImportMsg::XlsCellBeyondSheet, { "IW1" }, "Cell IW1 is beyond the sheet" },
        { ImportMsg::DbfOpenError, {}, "File open error" },
        { ImportMsg::DbfReadError, {}, "File read error!" },
        { ImportMsg::DbfTableInvalid, {}, "Table file is invalid!" },
        { ImportMsg::XmlUnexpectedSymbol, { "<", "12" }, "Unexpected symbol < at position 12" },
        { ImportMsg::XmlFileNotFound, { "p.xml" }, "File p.xml not found" },
        { ImportMsg::XmlTagAtPositionNotClosed, { "7" }, "Tag at position 7 is not closed" },
        { ImportMsg::XmlTagTooLong, { "7" }, "Tag at position 7 is too long" },
        { ImportMsg::XmlHeaderFailed, {}, "XML header failed" },
        { ImportMsg::XmlVersionExpected, {}, "Version attribute expected but $s found" },
        { ImportMsg::XmlUnexpectedAttribute, { "x" }, "Unexpected attriute name x" },
        { ImportMsg::XmlCorrespondingTagNotFound, { "ROW" }, "ROW - corresponding tag not found" },
        { ImportMsg::XmlTagNotClosed, { "ROW" }, "Tag ROW is not closed" },
    };
    for (const auto &c : cases) {
        EXPECT_EQ(formatMessage(c.id, c.args), QString::fromUtf8(c.text)) << c.id;
        // Without a translator the operator reads the same words.
        EXPECT_EQ(messageText(c.id, c.args).shown, QString::fromUtf8(c.text)) << c.id;
    }
}

// Under French the operator reads the readers' texts in the words they had
// before they were numbered.
TEST(DataImportMessages, ReadersTablesInFrench)
{
    ScopedLanguage french(Translations::Language::French);
    ASSERT_TRUE(french.complete());
    const struct
    {
        int id;
        QStringList args;
        const char *shown;
    } cases[] = {
        { ImportMsg::XlsCannotAccessCell, { "B7", "Float" }, "Impossible de lire la cellule « B7 » comme Float" },
        { ImportMsg::XlsInvalidRow, { "-1" }, "Ligne non valide (-1)" },
        { ImportMsg::XlsFormulaNotSupported, { "3", "2", "60" }, "La formule de la ligne 3, colonne 2 n'est pas prise en charge (élément 0x60)" },
        { ImportMsg::FileNameNotDefined, {}, "Le nom du fichier n'est pas indiqué" },
        { ImportMsg::DbfReadError, {}, "Erreur de lecture du fichier !" },
        { ImportMsg::XmlUnexpectedSymbol, { "<", "12" }, "Symbole inattendu < à la position 12" },
        { ImportMsg::XmlCorrespondingTagNotFound, { "ROW" }, "ROW - balise correspondante introuvable" },
    };
    for (const auto &c : cases) {
        const TranslatedText text = messageText(c.id, c.args);
        EXPECT_EQ(text.shown, QString::fromUtf8(c.shown)) << c.id;
        EXPECT_EQ(text.source, formatMessage(c.id, c.args)) << c.id; // the log keeps the English
    }
}
