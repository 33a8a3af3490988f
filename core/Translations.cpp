#include "core/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Translations {

namespace {
const QString InstalledName = QStringLiteral("KestraTranslation");
}

Language choose(const QString &configured, const QStringList &uiLanguages)
{
    const QString forced = configured.trimmed().toLower();
    if (forced == QLatin1String("fr"))
        return Language::French;
    if (forced == QLatin1String("en"))
        return Language::Source;
    // The first language the system names decides: "fr", "fr-TN", "fr_FR".
    if (uiLanguages.isEmpty())
        return Language::Source;
    const QString first = uiLanguages.first().toLower();
    return first == QLatin1String("fr") || first.startsWith(QLatin1String("fr-")) || first.startsWith(QLatin1String("fr_"))
        ? Language::French
        : Language::Source;
}

QStringList systemLanguages()
{
    const QLocale system = QLocale::system();
    if (system.language() == QLocale::C)
        return {};
    return system.uiLanguages();
}

QString programTranslation()
{
    return QStringLiteral(":/kestra/translations/kestra_fr.qm");
}

bool install(QCoreApplication &app, Language language)
{
    if (language == Language::Source)
        return true;
    // Owned by the application, which outlives every text it translates.
    auto *program = new QTranslator(&app);
    program->setObjectName(InstalledName);
    const bool programFound = program->load(programTranslation());
    if (programFound)
        QCoreApplication::installTranslator(program);
    auto *qt = new QTranslator(&app);
    qt->setObjectName(InstalledName);
    const bool qtFound = qt->load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
        QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (qtFound)
        QCoreApplication::installTranslator(qt);
    return programFound && qtFound;
}

void uninstall(QCoreApplication &app)
{
    const QList<QTranslator *> installed = app.findChildren<QTranslator *>(InstalledName, Qt::FindDirectChildrenOnly);
    for (QTranslator *t : installed) {
        QCoreApplication::removeTranslator(t);
        delete t;
    }
}

} // namespace Translations
