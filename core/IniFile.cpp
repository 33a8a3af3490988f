#include "core/IniFile.h"

#include "core/Cp1252.h"

#include <QFile>
#include <QFileInfo>
#define SI_NO_CONVERSION // bytes pass as they are: CP1252 is converted here
#define SI_IMPLEMENTATION // the template bodies, compiled here for this one user
#include <SimpleIni.h>
#include <cstring>
#include <list>

class SimpleIniWrapper : public CSimpleIniA
{
public:
    SimpleIniWrapper()
        : CSimpleIniA(false, false, false)
    {
        SetSpaces(false); // "key=value", as Windows writes profiles
    }
};

namespace {
std::string bytes(const QString &s)
{
    return Cp1252::fromUnicode(s).toStdString();
}

QString text(const char *s)
{
    return s ? Cp1252::toUnicode(s, static_cast<qsizetype>(std::strlen(s))) : QString();
}

QStringList ordered(CSimpleIniA::TNamesDepend names)
{
    names.sort(CSimpleIniA::Entry::LoadOrder());
    QStringList out;
    for (const auto &n : names)
        out << text(n.pItem);
    return out;
}
} // namespace

IniFile::IniFile(QString path)
    : m_path(std::move(path))
    , m_ini(std::make_unique<SimpleIniWrapper>())
{
    QFile f(m_path);
    if (f.open(QIODevice::ReadOnly)) {
        QByteArray data = f.readAll();
        m_ini->LoadData(data.constData(), static_cast<size_t>(data.size()));
    }
}

IniFile::~IniFile() = default;

bool IniFile::exists() const
{
    return QFileInfo(m_path).isFile();
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const char *v = m_ini->GetValue(bytes(section).c_str(), bytes(key).c_str(), nullptr);
    return v ? text(v) : defaultValue;
}

bool IniFile::hasKey(const QString &section, const QString &key) const
{
    return m_ini->GetValue(bytes(section).c_str(), bytes(key).c_str(), nullptr) != nullptr;
}

bool IniFile::hasSection(const QString &section) const
{
    return m_ini->GetSection(bytes(section).c_str()) != nullptr;
}

QStringList IniFile::sections() const
{
    CSimpleIniA::TNamesDepend names;
    m_ini->GetAllSections(names);
    return ordered(names);
}

QStringList IniFile::keys(const QString &section) const
{
    CSimpleIniA::TNamesDepend names;
    m_ini->GetAllKeys(bytes(section).c_str(), names);
    return ordered(names);
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    m_ini->SetValue(bytes(section).c_str(), bytes(key).c_str(), bytes(value).c_str());
}

void IniFile::eraseSection(const QString &section)
{
    m_ini->Delete(bytes(section).c_str(), nullptr);
}

void IniFile::deleteKey(const QString &section, const QString &key)
{
    m_ini->Delete(bytes(section).c_str(), bytes(key).c_str());
}

bool IniFile::save()
{
    std::string out;
    if (m_ini->Save(out, false) < 0)
        return false;
    QFile f(m_path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    // Windows line ends: these files travel between offices.
    QByteArray data = QByteArray::fromStdString(out);
    data.replace("\r\n", "\n");
    data.replace("\n", "\r\n");
    return f.write(data) == data.size() && f.flush();
}
