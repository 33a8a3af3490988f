#include "core/Cp1252.h"

#include <gtest/gtest.h>

TEST(Cp1252, RoundTripAndUnmappableCharacters)
{
    const QString text = QStringLiteral("Société € “N°” Œ");
    const QByteArray bytes = Cp1252::fromUnicode(text);
    EXPECT_EQ(bytes.size(), text.size()); // one byte a character
    EXPECT_EQ(static_cast<unsigned char>(bytes[8]), 0x80);
    EXPECT_EQ(Cp1252::toUnicode(bytes), text);
    EXPECT_EQ(Cp1252::fromUnicode(QStringLiteral("ب日")), QByteArray("??"));
}
