#include "app/CommandLine.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

namespace {

void setUp(QCommandLineParser &parser)
{
    parser.setApplicationDescription(
        QCoreApplication::translate("CommandLine", "Kestra de la TVA : registre des ventes en suspension de TVA."));
    parser.addHelpOption();
    parser.addVersionOption();
}

} // namespace

namespace CommandLine {

QString versionText()
{
    return QStringLiteral("kestra " KESTRA_VERSION);
}

std::optional<int> answerBeforeStart(const QStringList &arguments, QTextStream &out)
{
    QCommandLineParser parser;
    setUp(parser);
    // Errors are the toolkit's options, unknown here: they wait for the application.
    parser.parse(arguments);
    if (parser.isSet(QStringLiteral("version"))) {
        out << versionText() << "\n";
        return 0;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        // Without an application the parser knows no program name.
        out << parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("kestra"));
        return 0;
    }
    return std::nullopt;
}

void processAfterStart(const QCoreApplication &app)
{
    QCommandLineParser parser;
    setUp(parser);
    parser.process(app);
    if (!parser.positionalArguments().isEmpty()) {
        QTextStream err(stderr);
        err << QCoreApplication::translate("CommandLine", "Argument inattendu : %1").arg(parser.positionalArguments().first()) << "\n";
        err.flush();
        ::exit(2);
    }
}

} // namespace CommandLine
