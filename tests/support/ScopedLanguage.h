#pragma once

#include "core/Translations.h"

#include <QCoreApplication>

// A test's language: the program's and Qt's French installed for the
// guard's scope whatever the machine's locale, the texts as written again
// afterwards, so that the next test reads what it asserts.
class ScopedLanguage
{
public:
    explicit ScopedLanguage(Translations::Language language)
    {
        Translations::uninstall(*QCoreApplication::instance());
        m_complete = Translations::install(*QCoreApplication::instance(), language);
    }
    ~ScopedLanguage() { Translations::uninstall(*QCoreApplication::instance()); }
    ScopedLanguage(const ScopedLanguage &) = delete;
    ScopedLanguage &operator=(const ScopedLanguage &) = delete;

    // Both translations found: the program's and Qt's own.
    bool complete() const { return m_complete; }

private:
    bool m_complete = false;
};
