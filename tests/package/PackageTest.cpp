// The Debian package built by CPack from this build (the Package.Build
// fixture), read as Debian's own tools read a package.

#include "app/cli/Commands.h"
#include "tests/support/ProgramRun.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString DebDir = QStringLiteral(KESTRA_DEB_DIR);
const QString Version = QStringLiteral(KESTRA_VERSION);

QString packagePath()
{
    const QStringList debs = QDir(DebDir).entryList({ QStringLiteral("kestra_") + Version + QStringLiteral("_*.deb") }, QDir::Files);
    return debs.size() == 1 ? QDir(DebDir).filePath(debs.first()) : QString();
}

// The package, or a failure saying how to make it.
#define ASSERT_PACKAGE(path)                                                                                                               \
    const QString path = packagePath();                                                                                                    \
    ASSERT_FALSE(path.isEmpty()) << "no kestra_" << Version.toStdString() << "_*.deb in " << DebDir.toStdString()                          \
                                 << ": the Package.Build test makes it (ctest -R Package)"

ProgramRun run(const QString &program, const QStringList &args)
{
    return runProgram(program, args, 300000);
}

// The package's files unpacked, as dpkg would install them.
struct Unpacked
{
    QTemporaryDir root;
    explicit Unpacked(const QString &deb)
    {
        const ProgramRun r = run(QStringLiteral("dpkg-deb"), { QStringLiteral("-x"), deb, root.path() });
        EXPECT_EQ(r.rc, 0) << r.err.toStdString();
    }
    QString path(const QString &installed) const { return root.path() + installed; }
    QString gunzipped(const QString &installed) const
    {
        const ProgramRun r = run(QStringLiteral("gzip"), { QStringLiteral("-dc"), path(installed) });
        EXPECT_EQ(r.rc, 0) << installed.toStdString() << ": " << r.err.toStdString();
        return r.out;
    }
};

QStringList iconSizes()
{
    return QString::fromLatin1(KESTRA_ICON_SIZES).split(QLatin1Char(','), Qt::SkipEmptyParts);
}

} // namespace

// Every file the package installs, with its mode and owner: the programs,
// the menu entry and its icons, the manual pages and the documents; nothing
// else (no test program, no library of the build).
TEST(Package, InstallsTheProgramsAndTheirFilesOnly)
{
    ASSERT_PACKAGE(deb);
    const ProgramRun listing = run(QStringLiteral("dpkg-deb"), { QStringLiteral("--contents"), deb });
    ASSERT_EQ(listing.rc, 0) << listing.err.toStdString();

    QMap<QString, QString> expected {
        // path -> mode
        { "/usr/bin/kestra", "-rwxr-xr-x" },
        { "/usr/bin/kestra-cli", "-rwxr-xr-x" },
        { "/usr/share/applications/kestra.desktop", "-rw-r--r--" },
        { "/usr/share/icons/hicolor/scalable/apps/kestra.svg", "-rw-r--r--" },
        { "/usr/share/man/man1/kestra.1.gz", "-rw-r--r--" },
        { "/usr/share/man/man1/kestra-cli.1.gz", "-rw-r--r--" },
        { "/usr/share/doc/kestra/copyright", "-rw-r--r--" },
        { "/usr/share/doc/kestra/changelog.gz", "-rw-r--r--" },
    };
    for (const QString &size : iconSizes())
        expected.insert(QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/kestra.png").arg(size), QStringLiteral("-rw-r--r--"));

    QMap<QString, QString> files;
    for (const QString &line : listing.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        // drwxr-xr-x root/root 0 2026-12-11 10:19 ./usr/bin/
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("\\s+")));
        ASSERT_GE(fields.size(), 6) << line.toStdString();
        EXPECT_EQ(fields[1], QStringLiteral("root/root")) << line.toStdString();
        const QString path = fields[5].mid(1);
        if (fields[0].startsWith(QLatin1Char('d')))
            EXPECT_EQ(fields[0], QStringLiteral("drwxr-xr-x")) << line.toStdString();
        else
            files.insert(path, fields[0]);
    }
    EXPECT_EQ(files, expected);
}

// The control fields: this build's version, and what the program needs to
// run: the libraries it links (found by dpkg-shlibdeps) and what it loads
// or asks for by name.
TEST(Package, NamesWhatTheProgramNeeds)
{
    ASSERT_PACKAGE(deb);
    auto field = [&](const char *name) {
        const ProgramRun r = run(QStringLiteral("dpkg-deb"), { QStringLiteral("--field"), deb, QString::fromLatin1(name) });
        EXPECT_EQ(r.rc, 0) << r.err.toStdString();
        return r.out.trimmed();
    };
    EXPECT_EQ(field("Package"), QStringLiteral("kestra"));
    EXPECT_EQ(field("Version"), Version);
    EXPECT_FALSE(field("Maintainer").isEmpty());
    EXPECT_TRUE(field("Description").contains(QStringLiteral("Tunisian"))) << field("Description").toStdString();

    QSet<QString> depends;
    for (const QString &d : field("Depends").split(QLatin1Char(',')))
        depends.insert(d.trimmed().section(QLatin1Char(' '), 0, 0));
    const struct
    {
        const char *package;
        const char *why;
    } needed[] = {
        { "libfbclient2", "the Firebird client, opened at run time" },
        { "firebird3.0-server-core", "the embedded engine and its character sets" },
        { "fonts-liberation2", "the statement's font, asked for by name" },
        { "libqt6widgets6", "linked" },
        { "libqt6printsupport6", "linked, with the CUPS print plugin" },
        { "libcups2", "linked: what became of a print job" },
        { "libgsf-1-114", "linked: workbooks" },
        { "libxml2", "linked: workbooks and XML packets" },
        { "libc6", "linked" },
    };
    for (const auto &n : needed)
        EXPECT_TRUE(depends.contains(QString::fromLatin1(n.package)))
            << n.package << " (" << n.why << ") missing from " << field("Depends").toStdString();
}

// The menu entry is valid for the desktops, in English and French, and its
// icon is there at every size it names.
TEST(Package, TheMenuEntryIsValidAndHasItsIcon)
{
    ASSERT_PACKAGE(deb);
    Unpacked files(deb);
    const QString entry = files.path(QStringLiteral("/usr/share/applications/kestra.desktop"));
    const ProgramRun validate = run(QStringLiteral("desktop-file-validate"), { entry });
    EXPECT_EQ(validate.rc, 0);
    EXPECT_EQ(validate.out + validate.err, QString()); // not even a hint

    QFile f(entry);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (const char *line : { "Type=Application", "Name=Kestra VAT register", "Name[fr]=Kestra de la TVA", "Exec=kestra", "Icon=kestra",
             "Terminal=false", "Categories=Office;Finance;" })
        EXPECT_TRUE(lines.contains(QString::fromUtf8(line))) << line;
    for (const char *key : { "Comment=", "Comment[fr]=", "GenericName[fr]=" })
        EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^") + QRegularExpression::escape(QString::fromLatin1(key)))).size(), 1)
            << key;

    for (const QString &size : iconSizes()) {
        QImage icon(files.path(QStringLiteral("/usr/share/icons/hicolor/%1x%1/apps/kestra.png").arg(size)));
        EXPECT_EQ(icon.size(), QSize(size.toInt(), size.toInt())) << size.toStdString();
        EXPECT_TRUE(icon.hasAlphaChannel()) << size.toStdString();
    }
    QFile svg(files.path(QStringLiteral("/usr/share/icons/hicolor/scalable/apps/kestra.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("<svg"));
}

// kestra-cli's manual page names every command it has and every exit code,
// and man reads both pages without a warning.
TEST(Package, TheManualPagesCoverEveryCommand)
{
    ASSERT_PACKAGE(deb);
    Unpacked files(deb);
    const QString page
        = files.gunzipped(QStringLiteral("/usr/share/man/man1/kestra-cli.1.gz")).replace(QStringLiteral("\\-"), QStringLiteral("-"));
    ASSERT_FALSE(page.isEmpty());
    const QString synopsis = page.section(QStringLiteral(".SH DESCRIPTION"), 0, 0);
    const QString commands = page.section(QStringLiteral(".SH COMMANDS"), 1).section(QStringLiteral(".SH OPTIONS"), 0, 0);
    ASSERT_FALSE(commands.isEmpty());
    for (const CliCommand &c : cliCommands()) {
        EXPECT_TRUE(synopsis.contains(QStringLiteral(".B kestra-cli ") + c.name)) << c.name.toStdString() << " not in the synopsis";
        EXPECT_TRUE(QRegularExpression(QStringLiteral("\\.TP\\n\\.BI? ") + QRegularExpression::escape(c.name) + QStringLiteral("\\b"))
                        .match(commands)
                        .hasMatch())
            << c.name.toStdString() << " not described";
    }
    EXPECT_TRUE(page.contains(QStringLiteral("--version")));
    const QString exits = page.section(QStringLiteral(".SH EXIT STATUS"), 1).section(QStringLiteral(".SH "), 0, 0);
    for (const char *code : { "0", "1", "2", "3" })
        EXPECT_TRUE(exits.contains(QStringLiteral(".TP\n.B %1\n").arg(QString::fromLatin1(code)))) << "exit code " << code;

    for (const char *name : { "kestra.1.gz", "kestra-cli.1.gz" }) {
        SCOPED_TRACE(name);
        const QString path = files.path(QStringLiteral("/usr/share/man/man1/") + QString::fromLatin1(name));
        QProcess man;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MANWIDTH"), QStringLiteral("80"));
        man.setProcessEnvironment(env);
        man.start(QStringLiteral("man"),
            { QStringLiteral("--warnings"), QStringLiteral("-E"), QStringLiteral("UTF-8"), QStringLiteral("-l"), path });
        ASSERT_TRUE(man.waitForFinished(60000));
        EXPECT_EQ(man.exitCode(), 0);
        EXPECT_EQ(QString::fromUtf8(man.readAllStandardError()), QString());
        EXPECT_TRUE(QString::fromUtf8(man.readAllStandardOutput()).contains(QStringLiteral("Kestra ") + Version));
    }
}

// The changelog's latest entry is this version's.
TEST(Package, TheChangelogEndsWithThisVersion)
{
    ASSERT_PACKAGE(deb);
    Unpacked files(deb);
    const QString changelog = files.gunzipped(QStringLiteral("/usr/share/doc/kestra/changelog.gz"));
    EXPECT_TRUE(changelog.startsWith(QStringLiteral("kestra (") + Version + QStringLiteral(") "))) << changelog.left(80).toStdString();
}

// Debian's own checker finds neither an error nor a warning; what it still
// says (information only) is printed for the record.
TEST(Package, LintianFindsNoErrorNorWarning)
{
    ASSERT_PACKAGE(deb);
    const ProgramRun lintian = run(QStringLiteral("lintian"),
        { QStringLiteral("--fail-on"), QStringLiteral("error,warning"), QStringLiteral("--display-info"), QStringLiteral("--pedantic"),
            deb });
    EXPECT_EQ(lintian.rc, 0) << lintian.out.toStdString() << lintian.err.toStdString();
    for (const QString &line : lintian.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        EXPECT_FALSE(line.startsWith(QLatin1String("E:")) || line.startsWith(QLatin1String("W:"))) << line.toStdString();
        std::cout << "lintian: " << line.toStdString() << "\n";
    }
}
