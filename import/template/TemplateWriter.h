#pragma once

#include "core/IniFile.h"
#include "import/engine/ImportSettings.h"

#include <QString>
#include <QStringList>

// Writes the values of a template file (.imp) the way every key has always
// been written: numbers in decimal, flags as 0 or 1, characters below 33 as
// "#" and their code.
class TemplateWriter
{
public:
    explicit TemplateWriter(IniFile &ini)
        : m_ini(ini)
    {
    }
    void text(const QString &section, const QString &key, const QString &value) { m_ini.writeString(section, key, value); }
    void integer(const QString &section, const QString &key, qint64 value) { text(section, key, QString::number(value)); }
    void boolean(const QString &section, const QString &key, bool value) { integer(section, key, value ? 1 : 0); }
    void character(const QString &section, const QString &key, QChar value) { text(section, key, encodeTemplateChar(value)); }
    // One key per line, with an empty value. A blank line cannot be a key.
    void lines(const QString &section, const QStringList &lines)
    {
        for (const QString &line : lines)
            if (!line.trimmed().isEmpty())
                text(section, line, QString());
    }

private:
    IniFile &m_ini;
};
