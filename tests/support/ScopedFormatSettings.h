#pragma once

#include "core/FormatSettings.h"

// The process's format settings put back as they were when the guard was
// made, whatever the test did or found (an import installs its own), so a
// test that fails midway cannot leave them to the next. Given settings, the
// guard installs them for its scope.
class ScopedFormatSettings
{
public:
    ScopedFormatSettings()
        : m_saved(FormatSettings::current())
    {
    }
    explicit ScopedFormatSettings(const FormatSettings &settings)
        : ScopedFormatSettings()
    {
        FormatSettings::setCurrent(settings);
    }
    ~ScopedFormatSettings() { FormatSettings::setCurrent(m_saved); }
    ScopedFormatSettings(const ScopedFormatSettings &) = delete;
    ScopedFormatSettings &operator=(const ScopedFormatSettings &) = delete;

private:
    FormatSettings m_saved;
};
