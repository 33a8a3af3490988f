#pragma once

#include "core/FormatSettings.h"

// The process's format settings as they were when the guard was made come
// back when it goes, whatever the test did or found: an import installs its
// own, and a test that fails midway must not leave them to the next.
class FormatSettingsGuard
{
public:
    FormatSettingsGuard()
        : m_saved(FormatSettings::current())
    {
    }
    ~FormatSettingsGuard() { FormatSettings::setCurrent(m_saved); }
    FormatSettingsGuard(const FormatSettingsGuard &) = delete;
    FormatSettingsGuard &operator=(const FormatSettingsGuard &) = delete;

private:
    FormatSettings m_saved;
};
