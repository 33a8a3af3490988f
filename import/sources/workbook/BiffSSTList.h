#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <vector>

class BiffSST;

// One shared string: its characters live in the table's pool.
struct XlsSSTEntry
{
    quint32 offset = 0; // in the pool, bytes
    quint16 length = 0; // characters
    bool wide = false;
    quint32 refCount = 0; // LABELSST cells that use it
};

// The shared strings; their characters sit in one pool.
class BiffSSTList
{
public:
    int count() const { return int(m_entries.size()); }
    const XlsSSTEntry &entry(int i) const { return m_entries[std::size_t(i)]; }
    XlsSSTEntry &entry(int i) { return m_entries[std::size_t(i)]; }
    QString text(int i) const;
    void clear();
    // Expands an SST record (and its CONTINUE chain) into its strings.
    void load(const BiffSST &sst);
    // One more string (at most 65535 characters); returns its index.
    int append(QStringView text);

private:
    std::vector<XlsSSTEntry> m_entries;
    QByteArray m_pool;
};
