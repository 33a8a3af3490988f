#pragma once

#include "core/Error.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class XmlHandler;

// The zip container of .xlsx and .ods workbooks, read through libgsf, from
// a file or from bytes in memory. Parts are named by their path in the zip
// ("xl/worksheets/sheet1.xml") and found without regard to case, as some
// writers spell them differently from the references to them.
//
// Parts are streamed, never inflated whole, and everything read from one
// package inflates to at most 16 MB plus 100 times the size of the file:
// real workbooks stay far below, a zip bomb is refused. Failures raise
// ImportError with texts naming the file.
class ZipPackage
{
public:
    // Whether these first bytes of a file open a zip archive.
    static bool isZip(const QByteArray &head);

    // Opens the package of a file; fileName also names it in messages.
    explicit ZipPackage(const QString &fileName);
    // Opens the package held in bytes (kept, shared, for the package's life);
    // fileName only names it in messages.
    ZipPackage(const QByteArray &bytes, const QString &fileName);
    ~ZipPackage();
    ZipPackage(const ZipPackage &) = delete;
    ZipPackage &operator=(const ZipPackage &) = delete;

    const QString &fileName() const { return m_fileName; }
    // The part names, as stored.
    QStringList partNames() const;
    bool contains(const QString &name) const;
    // A part whole, when it is no larger than maxSize (else refused).
    QByteArray read(const QString &name, qsizetype maxSize);
    // Parses a part as XML into handler, piece by piece. A part that does not
    // parse is reported with its name and line; what the handler raises
    // passes unchanged.
    void parse(const QString &name, XmlHandler &handler);

    // The inflation allowed for the whole package, in bytes.
    qint64 budget() const { return m_budget; }

    // Messages shared by the workbook readers.
    [[noreturn]] void damaged(const TranslatedText &what) const;
    [[noreturn]] void missingPart(const QString &name) const;

private:
    struct Gsf;
    struct Stream;
    void openRoot();
    void listParts(void *infile, const QList<QByteArray> &path);
    Stream openPart(const QString &name);

    QString m_fileName;
    QByteArray m_bytes;
    std::unique_ptr<Gsf> m_gsf;
    QHash<QString, QList<QByteArray>> m_parts; // lower-case name -> path elements as stored
    qint64 m_budget = 0;
    qint64 m_inflated = 0;
};
