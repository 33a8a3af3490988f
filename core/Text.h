#pragma once

#include <QString>
#include <QStringView>

// Blanks and control characters (every character up to 0x20) off both ends:
// how names are shown and how padded texts are read back.
QString trimControls(const QString &text);
// The same as a view into text, for writers that copy it on without a copy.
QStringView trimmedControls(QStringView text);
