// Real tables and data packets written by other programs: each is read whole
// or refused with one of the readers' own messages, and where an independent
// reader's dump exists the values are compared with it.

#include "import/sources/dbf/DbfReader.h"
#include "import/engine/ImportMessages.h"
#include "import/sources/xml/XmlPacketReader.h"
#include "tests/import/ReaderTestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>
#include <gtest/gtest.h>
#include <optional>

namespace {

const QString Corpus = QStringLiteral(KESTRA_CORPUS_DIR);

QStringList corpusFiles(const QString &folder, const QStringList &patterns)
{
    QStringList files;
    QDirIterator it(Corpus + "/" + folder, patterns, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

// --- the reference dumps ---------------------------------------------------

// A value as the dump writes it (Python's repr): a text, bytes, a number,
// a date, a boolean, None, or something this test does not compare.
struct RefValue
{
    enum Kind { Text, Bytes, Number, Date, Bool, None, Other } kind = Other;
    QString text;
    double number = 0;
    QDate date;
    bool flag = false;
};

// Python's quoted string literal, escapes undone; nullopt when it is not one.
std::optional<QString> unquote(const QString &s)
{
    if (s.size() < 2 || (s[0] != '\'' && s[0] != '"') || s.back() != s[0])
        return std::nullopt;
    return pythonString(s);
}

RefValue parseRef(const QString &s)
{
    static const QRegularExpression date(QStringLiteral(R"(^datetime\.date\((\d+), (\d+), (\d+)\)$)"));
    RefValue v;
    if (s == "None") {
        v.kind = RefValue::None;
    } else if (s == "True" || s == "False") {
        v.kind = RefValue::Bool;
        v.flag = s == "True";
    } else if (auto text = unquote(s)) {
        v.kind = RefValue::Text;
        v.text = *text;
    } else if (s.startsWith("b'") || s.startsWith("b\"")) {
        v.kind = RefValue::Bytes;
    } else if (const auto m = date.match(s); m.hasMatch()) {
        v.kind = RefValue::Date;
        v.date = QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    } else {
        bool ok = false;
        v.number = s.toDouble(&ok);
        v.kind = ok ? RefValue::Number : RefValue::Other;
    }
    return v;
}

struct RefTable
{
    QString encoding;
    QString memoFile;
    int recordLength = 0;
    QList<QStringList> fields; // name, type, length, decimals
    QList<QString> deleteFlags;
    QList<QList<RefValue>> rows;
};

std::optional<RefTable> loadDump(const QString &relativeName)
{
    QFile file(Corpus + "/dbf_ref/" + relativeName + ".txt");
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    RefTable ref;
    static const QRegularExpression header(QStringLiteral(R"(recordlen=(\d+) .*encoding=(\S+) memofile=(\S+))"));
    bool failed = false;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const QStringList parts = line.split('\t');
        if (line.startsWith("DBFREAD_ERROR\tretry"))
            failed = true;
        else if (const auto m = header.match(line); line.startsWith("# version=") && m.hasMatch()) {
            ref.recordLength = m.captured(1).toInt();
            ref.encoding = m.captured(2);
            ref.memoFile = m.captured(3);
        } else if (line.startsWith("FIELD "))
            ref.fields << parts.mid(1);
        else if (line.startsWith("REC ")) {
            ref.deleteFlags << parts.value(1);
            QList<RefValue> row;
            for (const QString &p : parts.mid(2))
                row << parseRef(p);
            ref.rows << row;
        }
    }
    if (failed)
        return std::nullopt;
    return ref;
}

bool isAscii(const QString &s)
{
    return std::all_of(s.cbegin(), s.cend(), [](QChar c) { return c.unicode() < 128; });
}

QString rstripZerosAndBlanks(QString s)
{
    while (!s.isEmpty() && (s.back() == ' ' || s.back() == QChar(0)))
        s.chop(1);
    return s;
}

// Compares one of our raw field texts with the dump's value where both
// readers decode the type the same way; returns an explanation on mismatch.
QString compareValue(char type, const QString &ours, const RefValue &ref, const RefTable &table, unsigned char version)
{
    const QString trimmed = ours.trimmed();
    switch (type) {
    case 'C':
        if (ref.kind == RefValue::Text && (table.encoding == "cp1252" || isAscii(ref.text)) && rstripZerosAndBlanks(ours) != ref.text)
            return "text";
        return {};
    case 'N':
    case 'F':
        if (ref.kind == RefValue::None && !trimmed.isEmpty() && trimmed.toDouble() != 0)
            return "blank number";
        if (ref.kind == RefValue::Number && std::fabs(trimmed.toDouble() - ref.number) > 1e-9 * std::max(1.0, std::fabs(ref.number)))
            return "number";
        return {};
    case 'D':
        if (ref.kind == RefValue::None && !QString(trimmed).remove('0').isEmpty())
            return "blank date";
        if (ref.kind == RefValue::Date && trimmed != ref.date.toString("yyyyMMdd"))
            return "date";
        return {};
    case 'L': {
        const QChar c = trimmed.isEmpty() ? QChar(' ') : trimmed[0].toUpper();
        if (ref.kind == RefValue::Bool && (ref.flag ? QStringLiteral("TY") : QStringLiteral("FN")).indexOf(c) < 0)
            return "logical";
        return {};
    }
    case 'M':
        // Only where both readers use the same memo layout.
        if (version != 0x83 && !table.memoFile.endsWith(".fpt", Qt::CaseInsensitive))
            return {};
        if (ref.kind == RefValue::None && !ours.isEmpty())
            return "empty memo";
        if (ref.kind == RefValue::Text && isAscii(ref.text) && QString(ours).replace(QChar(0x0D), QChar(0x8D)) != ref.text
            && ours != ref.text)
            return "memo";
        return {};
    default:
        return {};
    }
}

const QStringList DbfMessages { QStringLiteral("File open error"), QStringLiteral("File read error!"),
    QStringLiteral("Table file is invalid!") };

} // namespace

TEST(ReaderCorpus, DBaseTables)
{
    const QStringList files = corpusFiles("dbf", { "*.dbf", "*.DBF", "*.DBC" });
    if (files.isEmpty())
        GTEST_SKIP() << "no corpus at " << qPrintable(Corpus) << ": the real-world tables were not read";

    int wholeTables = 0, compared = 0, values = 0;
    for (const QString &path : files) {
        const QString name = QDir(Corpus + "/dbf").relativeFilePath(path);
        SCOPED_TRACE(qPrintable(name));
        // A database container keeps its memos in ".DCT", outside the name rule.
        QFile table(path), dct(QFileInfo(path).path() + "/" + QFileInfo(path).completeBaseName() + ".DCT");
        const bool container = path.endsWith(".DBC");
        QList<QStringList> rows;
        QList<bool> deleted;
        QString failure;
        std::unique_ptr<DbfReader> reader;
        try {
            if (container) {
                ASSERT_TRUE(table.open(QIODevice::ReadOnly) && dct.open(QIODevice::ReadOnly));
                reader = std::make_unique<DbfReader>(&table, &dct);
            } else {
                reader = std::make_unique<DbfReader>(path);
            }
            while (!reader->endOfTable()) {
                QStringList row;
                for (int i = 0; i < reader->fieldCount(); ++i)
                    row << reader->readField(i);
                rows << row;
                deleted << reader->deleted();
            }
        } catch (const ImportError &e) {
            failure = e.text();
        }
        if (!failure.isEmpty()) {
            EXPECT_TRUE(DbfMessages.contains(failure)) << qPrintable(failure);
            std::cout << "  refused " << qPrintable(name) << ": " << qPrintable(failure) << "\n";
            continue;
        }
        ++wholeTables;
        const std::optional<RefTable> ref = loadDump(name);
        if (!ref)
            continue;
        ASSERT_EQ(reader->fieldCount(), ref->fields.size());
        for (int i = 0; i < reader->fieldCount(); ++i) {
            // Names in other code pages are compared by the dump's own decoding only.
            if (ref->encoding == "cp1252" || isAscii(ref->fields[i][0])) {
                EXPECT_EQ(reader->fieldName(i), ref->fields[i][0].trimmed().toUpper());
            }
            EXPECT_EQ(QString(QChar(reader->fieldType(i))), ref->fields[i][1]);
            EXPECT_EQ(reader->fieldLength(i), ref->fields[i][2].toInt());
            EXPECT_EQ(reader->fieldDecimals(i), ref->fields[i][3].toInt());
        }
        // The other reader cuts records at the header's record length; where
        // that is not the sum of the field lengths the records differ by design.
        int sum = 1;
        for (const DbfDescriptor &d : reader->descriptors())
            sum += d.length;
        const qsizetype common = sum == ref->recordLength ? std::min(rows.size(), ref->rows.size()) : 0;
        int mismatches = 0;
        for (qsizetype r = 0; r < common; ++r) {
            EXPECT_EQ(deleted[r], ref->deleteFlags[r] == "*") << "record " << r;
            for (int i = 0; i < reader->fieldCount() && i < ref->rows[r].size(); ++i) {
                ++values;
                const QString why = compareValue(reader->fieldType(i), rows[r][i], ref->rows[r][i], *ref, reader->version());
                if (!why.isEmpty() && ++mismatches <= 5)
                    ADD_FAILURE() << qPrintable(why) << " record " << r << " field " << qPrintable(reader->fieldName(i)) << ": ours ["
                                  << qPrintable(rows[r][i].left(200)) << "]";
            }
        }
        ++compared;
    }
    std::cout << "  " << files.size() << " tables, " << wholeTables << " read whole, " << compared << " compared with the reference dumps ("
              << values << " values)\n";
}

TEST(ReaderCorpus, XmlDataPackets)
{
    const QStringList files = corpusFiles("xml", { "*.xml" });
    if (files.isEmpty())
        GTEST_SKIP() << "no corpus at " << qPrintable(Corpus) << ": the real-world data packets were not read";

    // Field, row and absent-attribute counts found by an independent reader.
    QHash<QString, QStringList> probe;
    QFile probeFile(Corpus + "/xml_ref/PROBE.tsv");
    if (probeFile.open(QIODevice::ReadOnly))
        for (const QByteArray &line : probeFile.readAll().split('\n'))
            if (const QStringList parts = QString::fromUtf8(line).split('\t'); parts.size() > 1)
                probe.insert(QFileInfo(parts[0]).fileName(), parts);
    auto probed = [&](const QString &file, const QString &key) {
        for (const QString &part : probe.value(file))
            if (part.startsWith(key + "="))
                return part.mid(key.size() + 1).toInt();
        return -1;
    };

    int checked = 0;
    for (const QString &path : files) {
        const QString name = QFileInfo(path).fileName();
        SCOPED_TRACE(qPrintable(name));
        try {
            XmlPacketReader xml(path);
            xml.loadText();
            xml.parse();
            int absent = 0;
            if (const XmlTagList *rows = xml.rowList(); rows && xml.fieldList())
                for (const auto &row : *rows)
                    for (const auto &field : *xml.fieldList())
                        absent += row->hasAttribute(xmlFieldName(*field)) ? 0 : 1;

            // The same rows again, one tag at a time from the file.
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            XmlPacketReader stream(&file);
            int streamed = 0;
            while (!stream.endOfText())
                if (std::unique_ptr<XmlTag> tag = stream.nextTag(); tag && tag->name().compare("ROW", Qt::CaseInsensitive) == 0)
                    ++streamed;
            EXPECT_EQ(streamed, xml.rowCount());

            if (probe.contains(name)) {
                EXPECT_EQ(xml.fieldCount(), probed(name, "fields"));
                EXPECT_EQ(xml.rowCount(), probed(name, "rows"));
                EXPECT_EQ(absent, probed(name, "absent_attrs"));
                ++checked;
            }
        } catch (const ImportError &e) {
            ADD_FAILURE() << "refused: " << qPrintable(e.text());
        }
    }
    std::cout << "  " << files.size() << " data packets, " << checked << " checked against the probe\n";
}
