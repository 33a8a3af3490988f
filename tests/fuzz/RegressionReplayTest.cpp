// Every input under fuzz/regressions/<target>/ goes through that target once
// more: it must be answered (read, or refused in the reader's words) without
// a crash or another kind of exception.

#include "fuzz/FuzzTarget.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <exception>
#include <gtest/gtest.h>

namespace {
const QString Regressions = QStringLiteral(KESTRA_FUZZ_REGRESSIONS_DIR);
}

TEST(FuzzRegressions, EveryTargetIsBuiltAndEveryFolderHasOne)
{
    QSet<QString> registered;
    for (const FuzzTarget &target : FuzzTargets())
        registered << QString::fromStdString(target.name);
    // The build's list of fuzzer programs and the targets compiled in agree.
    const QStringList listed = QStringLiteral(KESTRA_FUZZ_TARGET_LIST).split(QLatin1Char(','));
    EXPECT_EQ(QSet<QString>(listed.cbegin(), listed.cend()), registered);
    for (const QString &folder : QDir(Regressions).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        EXPECT_TRUE(registered.contains(folder)) << "fuzz/regressions/" << qPrintable(folder) << " names no target";
}

TEST(FuzzRegressions, InputsReplayWithoutFault)
{
    int replayed = 0;
    for (const FuzzTarget &target : FuzzTargets()) {
        const QDir folder(Regressions + QLatin1Char('/') + QString::fromStdString(target.name));
        for (const QString &name : folder.entryList(QDir::Files, QDir::Name)) {
            SCOPED_TRACE(target.name + "/" + name.toStdString());
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray input = file.readAll();
            try {
                target.run(reinterpret_cast<const std::uint8_t *>(input.constData()), std::size_t(input.size()));
            } catch (const std::exception &e) {
                ADD_FAILURE() << "escaped: " << e.what();
            }
            ++replayed;
        }
    }
    EXPECT_GT(replayed, 0);
}
