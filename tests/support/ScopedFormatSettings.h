#pragma once

#include "core/FormatSettings.h"

// The process's format settings replaced for the scope of a test, then put
// back as they were.
class ScopedFormatSettings
{
public:
    explicit ScopedFormatSettings(const FormatSettings &settings)
        : m_saved(FormatSettings::current())
    {
        FormatSettings::setCurrent(settings);
    }
    ~ScopedFormatSettings() { FormatSettings::setCurrent(m_saved); }
    ScopedFormatSettings(const ScopedFormatSettings &) = delete;
    ScopedFormatSettings &operator=(const ScopedFormatSettings &) = delete;

private:
    FormatSettings m_saved;
};
