#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class SimpleIniWrapper;

// An INI file with the semantics of Windows profiles: section and key names
// without regard to case, values trimmed and kept raw (no quoting or escaping),
// sections and keys in file order, bytes in CP1252.
class IniFile
{
public:
    explicit IniFile(QString path);
    ~IniFile();
    IniFile(const IniFile &) = delete;
    IniFile &operator=(const IniFile &) = delete;

    const QString &path() const { return m_path; }
    bool exists() const;

    QString readString(const QString &section, const QString &key, const QString &defaultValue) const;
    bool hasKey(const QString &section, const QString &key) const;
    bool hasSection(const QString &section) const;
    QStringList sections() const;
    QStringList keys(const QString &section) const;

    void writeString(const QString &section, const QString &key, const QString &value);
    void eraseSection(const QString &section);
    void deleteKey(const QString &section, const QString &key);
    // Writes the file; false when it cannot be written.
    bool save();

private:
    QString m_path;
    std::unique_ptr<SimpleIniWrapper> m_ini;
};
