#pragma once

#include <QString>
#include <QStringList>

class QCoreApplication;

// The language both programs speak: French under a French locale (fr_TN,
// fr_FR, ...), the texts as written otherwise; the configuration may force
// one. The files the program writes keep their texts whatever it chooses.
namespace Translations {

enum class Language { Source, French };

// configured: "fr" or "en" (any case) forces that language; anything else,
// empty among them, leaves the choice to uiLanguages, the system's
// languages in order of preference (QLocale::system().uiLanguages()).
Language choose(const QString &configured, const QStringList &uiLanguages);

// The system's languages in order of preference; none under the C locale,
// whatever LANGUAGE says (as gettext does: LC_ALL=C means the texts as written).
QStringList systemLanguages();

// Installs the program's translation and Qt's own (its dialogs' buttons)
// for language; nothing for the source language. Qt's own French comes
// from Qt's translations directory (qt6-translations-l10n); false when it or
// the program's translation is missing, the other being installed all the same.
bool install(QCoreApplication &app, Language language);

// Removes what install() put in place: the texts as written again.
void uninstall(QCoreApplication &app);

// The resource holding the program's French translation.
QString programTranslation();

} // namespace Translations
