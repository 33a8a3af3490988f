#pragma once

#include "core/FormatSettings.h"
#include "tests/support/QtPrinters.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <functional>
#include <ostream>

// A file's bytes; empty when it cannot be read.
inline QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The settings the workbook readers' expected texts are written with: the
// current ones with French separators and day-first dates.
inline FormatSettings readerTestFormats()
{
    FormatSettings fs = FormatSettings::current();
    fs.decimalSeparator = QLatin1Char(',');
    fs.dateSeparator = QLatin1Char('/');
    fs.timeSeparator = QLatin1Char(':');
    fs.shortDateFormat = QStringLiteral("dd/MM/yyyy");
    fs.longTimeFormat = QStringLiteral("hh:mm:ss");
    return fs;
}

// Damaged copies of a file for readers that must refuse damage with their
// own message and never crash: the file cut every cutStep bytes, then 300
// copies with one to four bits flipped. The flips follow a fixed seed that
// carries on from one file to the next.
class DamagedCopies
{
public:
    explicit DamagedCopies(quint64 seed)
        : m_seed(seed)
    {
    }

    void forEach(const QByteArray &original, qsizetype cutStep, const std::function<void(const QByteArray &)> &attempt)
    {
        for (qsizetype cut = 0; cut < original.size(); cut += cutStep)
            attempt(original.left(cut));
        for (int i = 0; i < 300; ++i) {
            QByteArray copy = original;
            const int flips = 1 + int(next() % 4);
            for (int f = 0; f < flips; ++f) {
                const quint64 bit = next() % (quint64(copy.size()) * 8);
                copy[qsizetype(bit / 8)] = char(copy[qsizetype(bit / 8)] ^ (1 << (bit % 8)));
            }
            attempt(copy);
        }
    }

private:
    quint64 next()
    {
        m_seed ^= m_seed << 13;
        m_seed ^= m_seed >> 7;
        m_seed ^= m_seed << 17;
        return m_seed;
    }

    quint64 m_seed;
};

// A Python string literal as the reference dumps write them.
inline QString pythonString(const QString &repr)
{
    if (repr.size() < 2)
        return repr;
    QString out;
    for (qsizetype i = 1; i + 1 < repr.size(); ++i) {
        const QChar c = repr[i];
        if (c != u'\\' || i + 2 >= repr.size()) {
            out += c;
            continue;
        }
        const QChar e = repr[++i];
        auto hex = [&](int n) {
            const uint code = repr.mid(i + 1, n).toUInt(nullptr, 16);
            i += n;
            out += QString::fromUcs4(reinterpret_cast<const char32_t *>(&code), 1);
        };
        switch (e.unicode()) {
        case 'n':
            out += u'\n';
            break;
        case 'r':
            out += u'\r';
            break;
        case 't':
            out += u'\t';
            break;
        case 'x':
            hex(2);
            break;
        case 'u':
            hex(4);
            break;
        case 'U':
            hex(8);
            break;
        default:
            out += e;
            break;
        }
    }
    return out;
}
