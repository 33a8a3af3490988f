#pragma once

#include <QString>

// Blanks and control characters (every character up to 0x20) off both ends:
// how names are shown and how padded texts are read back.
QString trimControls(const QString &text);
