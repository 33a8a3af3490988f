#pragma once

#include <QFont>
#include <QString>

// The family reports print with. The layouts were drawn for Arial; this
// family has the same metrics and is installed with the program, so a page
// breaks and wraps the same way on every machine instead of with whatever
// font the machine would substitute.
inline const QString ReportFontFamily = QStringLiteral("Liberation Sans");

QFont reportFont(double pointSize);
