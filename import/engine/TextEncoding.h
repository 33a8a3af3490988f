#pragma once

#include <QString>

// The character sets a text file to import may be written in. Windows-1252
// is the program's own single-byte code page and the default; a file that
// starts with a UTF-8 byte-order mark is UTF-8 whatever is chosen.
enum TextEncoding { teWindows1252 = 0, teUtf8 = 1, teOem850 = 2 };
constexpr int TextEncodingCount = 3;

// The bytes of one line as text. Invalid UTF-8 becomes U+FFFD, which the
// database cannot store either: such a value is refused at import.
QString decodeText(const char *data, qsizetype size, TextEncoding encoding);

// The encoding of a template's number; false when the number names none.
bool textEncodingFromNumber(int number, TextEncoding &encoding);
// "windows-1252", "utf-8", "oem-850"; the names kestra-cli takes, with
// cp1252, ansi, utf8, cp850, oem and 850 as well, in any case.
QString textEncodingName(TextEncoding encoding);
bool textEncodingFromName(const QString &name, TextEncoding &encoding);

// The first character of text the database's WIN1252 cannot hold, or -1.
qsizetype firstUnencodableCharacter(const QString &text);
// The value error for such a text (ImportMsg::CharacterNotStorable); empty when the
// database can store every character.
QString unencodableValueError(const QString &value);
