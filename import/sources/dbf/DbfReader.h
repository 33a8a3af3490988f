#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <memory>

class QFile;
class QIODevice;

// One field of a dBase table.
class DbfDescriptor
{
public:
    QString name; // blanks removed, upper case
    char type = 0; // upper case
    int length = 0; // bytes in the record
    int decimals = 0;
    int offset = 0; // within the record; the deletion mark is byte 0
};

// A small sequential reader of dBase III style tables (dBase, FoxPro) with
// their memo files. Records are read in file order, field by field; every
// field comes back as the text of its bytes (memo fields: the memo's text).
//
// Every size the file declares is checked against what the file holds, so a
// damaged or hostile table ends with an exception (ImportError) instead
// of a read past its end or an allocation it cannot back.
class DbfReader
{
public:
    // Opens the table of that name (see TableFileName) and its memo file.
    explicit DbfReader(const QString &fileName);
    // Reads an open table device and, when not null, an open memo device
    // (".dbt" layout for version 0x83, ".fpt" layout otherwise). Neither is
    // owned; both must outlive the reader.
    DbfReader(QIODevice *table, QIODevice *memo);
    ~DbfReader();

    DbfReader(const DbfReader &) = delete;
    DbfReader &operator=(const DbfReader &) = delete;

    // The name with its extension replaced by ".DBF", or ".DBF" appended when
    // it has none; an extension DBF in any letter case is kept, and so is
    // DBC: a database container is a table too.
    static QString tableFileName(const QString &fileName);
    static bool isDatabaseContainer(const QString &fileName);
    // The memo file next to the table: its name up to the first "." with
    // ".dbt" for version 0x83, ".fpt" for any other version; ".dct" for a
    // database container.
    static QString memoFileName(const QString &tableFileName, unsigned char version);

    // An empty file leaves the table closed: no fields, no records.
    bool isOpen() const { return m_open; }
    unsigned char version() const { return m_version; }
    // Records the header declares; 0 when the table has no fields.
    qint64 recordCount() const;
    int fieldCount() const; // -1 when the table is not open
    QString fieldName(int i) const;
    char fieldType(int i) const; // 0 when not open or out of range
    int fieldLength(int i) const;
    int fieldDecimals(int i) const;
    const QList<DbfDescriptor> &descriptors() const { return m_fields; }

    // Field i of the current record; i = 0 moves to the next record first.
    // Memo fields give the memo's text, "ERROR!!!" (dBase) or "Error!!!"
    // (FoxPro) when it cannot be read, empty when there is no memo file.
    QString readField(int i);
    // True when every record has been read.
    bool endOfTable() const;
    // The deletion mark ("*") of the record being read.
    bool deleted() const { return m_deleted; }
    // Number of the record being read, the first being 1; 0 before any.
    qint64 recordNumber() const { return m_nextRecord - 1; }

private:
    enum class MemoKind { None, DBase, FoxPro };

    void open();
    void attachMemo(QIODevice *memo);
    void skipTo(qint64 position);
    QString memoText(const QByteArray &pointer);
    QString dbaseMemo(qint64 block);
    QString foxproMemo(qint64 block);

    std::unique_ptr<QFile> m_ownTable;
    std::unique_ptr<QFile> m_ownMemo;
    QIODevice *m_table = nullptr;
    QIODevice *m_memo = nullptr;

    bool m_open = false;
    unsigned char m_version = 0;
    quint32 m_recordCount = 0;
    int m_headerLength = 0;
    qint64 m_recordLength = 1;
    QList<DbfDescriptor> m_fields;

    qint64 m_nextRecord = 1;
    bool m_deleted = false;
    QByteArray m_record; // the record being read, deletion mark first

    MemoKind m_memoKind = MemoKind::None;
    bool m_memoBroken = false; // present but unusable: every memo is a read error
    quint32 m_memoBlockSize = 512;
    quint32 m_memoNextFreeBlock = 0; // dBase: from the memo file's header
    QHash<qint64, QString> m_memoCache; // by block
    qsizetype m_memoCacheSize = 0; // characters
};
