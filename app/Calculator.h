#pragma once

#include <QString>
#include <QStringList>

// The calculator the tool bar's button starts.
namespace Calculator {

// The desktops' own calculators, in the order they are looked for.
const QStringList &knownPrograms();

// "../Source/Calc" of the working directory when there is one (an office
// may put its own there), else the first known calculator found on the
// PATH; empty when there is none.
QString find();

} // namespace Calculator
