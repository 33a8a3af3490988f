#pragma once

#include "core/Conversion.h"
#include "core/IniFile.h"
#include "import/engine/ImportSettings.h"

#include <QString>
#include <QStringList>

// Reads the values of a template file (.imp); a missing or malformed value
// is the default given.
class TemplateReader
{
public:
    explicit TemplateReader(const IniFile &ini)
        : m_ini(ini)
    {
    }
    bool has(const QString &section, const QString &key) const { return m_ini.hasKey(section, key); }
    QString text(const QString &section, const QString &key, const QString &def) const { return m_ini.readString(section, key, def); }
    qint64 integer(const QString &section, const QString &key, qint64 def) const
    {
        qint64 value = 0;
        return tryStrToInt64(text(section, key, QString()), value) ? value : def;
    }
    int integer32(const QString &section, const QString &key, int def) const
    {
        int value = 0;
        return tryStrToInt(text(section, key, QString()), value) ? value : def;
    }
    bool boolean(const QString &section, const QString &key, bool def) const { return integer32(section, key, def ? 1 : 0) != 0; }
    QChar character(const QString &section, const QString &key, QChar def, QChar current) const
    {
        return decodeTemplateChar(text(section, key, encodeTemplateChar(def)), current);
    }
    // A stored enumeration: the template's number when it names a value, else def.
    template <typename E> E enumeration(const QString &section, const QString &key, E def, int count) const
    {
        const int n = integer32(section, key, int(def));
        return n >= 0 && n < count ? E(n) : def;
    }
    QStringList keys(const QString &section) const { return m_ini.keys(section); }
    QStringList sections() const { return m_ini.sections(); }

private:
    const IniFile &m_ini;
};
