// dBase tables with their memo files. An input is the table alone, or
// "KMEMO", the table's length (32 bits, little-endian), the table and the
// memo file (fuzz/run.sh packs the seed tables so).

#include "fuzz/FuzzTarget.h"
#include "import/sources/dbf/DbfReader.h"
#include "import/engine/ImportMessages.h"

#include <QBuffer>

#include <cstring>

KESTRA_FUZZ_TARGET(dbf)
{
    QByteArray table(reinterpret_cast<const char *>(data), qsizetype(size)), memo;
    bool withMemo = false;
    if (size >= 9 && std::memcmp(data, "KMEMO", 5) == 0) {
        const std::size_t length
            = std::size_t(data[5]) | std::size_t(data[6]) << 8 | std::size_t(data[7]) << 16 | std::size_t(data[8]) << 24;
        const std::size_t tableLength = std::min(length, size - 9);
        table = QByteArray(reinterpret_cast<const char *>(data) + 9, qsizetype(tableLength));
        memo = QByteArray(reinterpret_cast<const char *>(data) + 9 + tableLength, qsizetype(size - 9 - tableLength));
        withMemo = true;
    }
    QBuffer tableDevice(&table), memoDevice(&memo);
    tableDevice.open(QIODevice::ReadOnly);
    memoDevice.open(QIODevice::ReadOnly);
    try {
        DbfReader reader(&tableDevice, withMemo ? &memoDevice : nullptr);
        reader.recordCount();
        for (int i = 0; i < reader.fieldCount(); ++i) {
            reader.fieldName(i);
            reader.fieldType(i);
        }
        while (!reader.endOfTable()) {
            for (int i = 0; i < reader.fieldCount(); ++i)
                reader.readField(i);
            reader.deleted();
        }
    } catch (const ImportError &) {
    }
}
