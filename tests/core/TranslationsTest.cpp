#include "core/Error.h"
#include "core/Translations.h"
#include "tests/support/ScopedLanguage.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace {

// One entry of a .ts file.
struct Entry
{
    QString translation;
    bool unfinished = false;
};
using Catalogue = QMap<QPair<QString, QString>, Entry>; // (context, source) -> entry

Catalogue readCatalogue(const QString &path)
{
    Catalogue entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return entries;
    }
    QXmlStreamReader xml(&file);
    QString context, source;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name"))
            context = xml.readElementText();
        else if (xml.name() == QLatin1String("source"))
            source = xml.readElementText();
        else if (xml.name() == QLatin1String("translation")) {
            Entry e;
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            e.unfinished = !type.isEmpty(); // "unfinished", "vanished", "obsolete"
            e.translation = xml.readElementText();
            entries.insert({ context, source }, e);
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return entries;
}

// What a text fills in: "%1", "%s", "%d", in order of appearance.
QStringList placeholders(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("%(\\d+|s|d)"));
    QStringList found;
    for (auto it = re.globalMatch(text); it.hasNext();)
        found << it.next().captured(0);
    return found;
}

// The "&x" that gives a control its Alt key ("&&" is a plain "&").
bool hasAccelerator(const QString &text)
{
    return QString(text).remove(QStringLiteral("&&")).contains(QRegularExpression(QStringLiteral("&\\w")));
}

QString describe(const QPair<QString, QString> &key)
{
    return key.first + QStringLiteral(": \"") + key.second + QLatin1Char('"');
}

const QString CommittedCatalogue = QStringLiteral(KESTRA_SOURCE_DIR "/translations/kestra_fr.ts");

} // namespace

TEST(Language, ChosenByTheConfigurationElseTheSystem)
{
    using Translations::Language;
    struct Case
    {
        QString configured;
        QStringList system;
        Language expected;
    };
    const Case cases[] = {
        { QString(), { QStringLiteral("fr-TN"), QStringLiteral("fr-Latn-TN") }, Language::French },
        { QString(), { QStringLiteral("fr-FR"), QStringLiteral("fr") }, Language::French },
        { QString(), { QStringLiteral("fr") }, Language::French },
        { QString(), { QStringLiteral("fr_CA") }, Language::French },
        { QString(), { QStringLiteral("en-US"), QStringLiteral("fr-FR") }, Language::Source },
        { QString(), { QStringLiteral("ar-TN") }, Language::Source },
        { QString(), { QStringLiteral("fur") }, Language::Source }, // Friulian is not French
        { QString(), {}, Language::Source }, // the C locale
        { QStringLiteral("fr"), {}, Language::French },
        { QStringLiteral(" FR "), { QStringLiteral("en-US") }, Language::French },
        { QStringLiteral("en"), { QStringLiteral("fr-TN") }, Language::Source },
        { QStringLiteral("En"), { QStringLiteral("fr-FR") }, Language::Source },
        { QStringLiteral("de"), { QStringLiteral("fr-TN") }, Language::French }, // unknown: the system decides
        { QStringLiteral("de"), { QStringLiteral("en-GB") }, Language::Source },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE((c.configured + QStringLiteral(" / ") + c.system.join(QLatin1Char(','))).toStdString());
        EXPECT_EQ(Translations::choose(c.configured, c.system), c.expected);
    }
}

// The .ts file holds every text the sources mark, each translated, and
// nothing the sources no longer have: lupdate over the sources, run on a
// copy, must find nothing new, nothing unfinished and nothing to drop.
TEST(FrenchCatalogue, CoversEveryTextOfTheSources)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString scanned = dir.filePath(QStringLiteral("kestra_fr.ts"));
    ASSERT_TRUE(QFile::copy(CommittedCatalogue, scanned));
    QProcess lupdate;
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    lupdate.start(QStringLiteral(KESTRA_LUPDATE),
        { QStringLiteral("-no-obsolete"), QStringLiteral("-locations"), QStringLiteral("none"), QStringLiteral("-source-language"),
            QStringLiteral("en"), QStringLiteral("-target-language"), QStringLiteral("fr"), QStringLiteral("-I"),
            QStringLiteral(KESTRA_SOURCE_DIR), QStringLiteral("@" KESTRA_TRANSLATED_SOURCES_LIST), QStringLiteral("-ts"), scanned });
    ASSERT_TRUE(lupdate.waitForFinished(120000)) << "lupdate did not finish";
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAll().toStdString();

    const Catalogue committed = readCatalogue(CommittedCatalogue);
    const Catalogue used = readCatalogue(scanned);
    ASSERT_FALSE(used.isEmpty());
    for (auto it = used.cbegin(); it != used.cend(); ++it) {
        EXPECT_TRUE(committed.contains(it.key())) << "not in the .ts file: " << describe(it.key()).toStdString();
        EXPECT_FALSE(it->unfinished || it->translation.isEmpty()) << "no French for " << describe(it.key()).toStdString();
    }
    for (auto it = committed.cbegin(); it != committed.cend(); ++it)
        EXPECT_TRUE(used.contains(it.key())) << "no longer in the sources: " << describe(it.key()).toStdString();
}

// A translation fills in what its text fills in, and keeps its control's
// Alt key: a lost "%2" would drop a file name from a message.
TEST(FrenchCatalogue, TranslationsKeepPlaceholdersAndAccelerators)
{
    const Catalogue committed = readCatalogue(CommittedCatalogue);
    ASSERT_FALSE(committed.isEmpty());
    for (auto it = committed.cbegin(); it != committed.cend(); ++it) {
        const QString &source = it.key().second;
        const QString &french = it->translation;
        QStringList expected = placeholders(source), found = placeholders(french);
        // "%1".."%n" may move in French; "%s" and "%d" are filled in order.
        if (!source.contains(QRegularExpression(QStringLiteral("%[sd]")))) {
            expected.sort();
            found.sort();
        }
        EXPECT_EQ(found, expected) << describe(it.key()).toStdString() << " -> " << french.toStdString();
        EXPECT_EQ(hasAccelerator(french), hasAccelerator(source)) << describe(it.key()).toStdString() << " -> " << french.toStdString();
    }
}

TEST(FrenchCatalogue, InstalledTheOperatorReadsFrenchAndFilesKeepTheSource)
{
    {
        ScopedLanguage french(Translations::Language::French);
        EXPECT_TRUE(french.complete()) << "the program's or Qt's French translation is missing";
        EXPECT_EQ(QCoreApplication::translate("ImportProgress", "Commited"), QStringLiteral("Validées"));
        // Qt's own buttons.
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Oui"));

        const Error e(translatedText("ImportMessages", QT_TRANSLATE_NOOP("ImportMessages", "File %1 is damaged: %2"),
            QStringLiteral("a.xlsx"), translatedText("ImportMessages", QT_TRANSLATE_NOOP("ImportMessages", "part %1 is missing"),
                QStringLiteral("xl/workbook.xml"))));
        EXPECT_EQ(e.text(), QStringLiteral("Le fichier a.xlsx est endommagé : la partie xl/workbook.xml manque"));
        EXPECT_EQ(e.sourceText(), QStringLiteral("File a.xlsx is damaged: part xl/workbook.xml is missing"));
        EXPECT_STREQ(e.what(), "Le fichier a.xlsx est endommagé : la partie xl/workbook.xml manque");
    }
    // Gone with its scope: the texts as written.
    EXPECT_EQ(QCoreApplication::translate("ImportProgress", "Commited"), QStringLiteral("Commited"));
    const Error plain(QStringLiteral("Indiquez le dossier de la base."));
    EXPECT_EQ(plain.text(), plain.sourceText());
    EXPECT_TRUE(Translations::install(*QCoreApplication::instance(), Translations::Language::Source));
    EXPECT_EQ(QCoreApplication::translate("ImportProgress", "Commited"), QStringLiteral("Commited"));
}
