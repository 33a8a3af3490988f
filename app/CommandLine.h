#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <optional>

// kestra's own options: --version and --help. The toolkit takes its own
// (-platform, -style, ...) when the application is made; these two are
// answered before, so that they need no display.
namespace CommandLine {

// "kestra" and the version of the build.
QString versionText();

// Answers --version or --help on out; the exit code when it answered.
// Other arguments are left for later: the toolkit's are not known yet.
std::optional<int> answerBeforeStart(const QStringList &arguments, QTextStream &out);

// Once the application has taken the toolkit's options: --help-all is
// answered, an unknown option ends the program with the parser's message and
// the exit code 1, a stray argument with the exit code 2.
void processAfterStart(const QCoreApplication &app);

} // namespace CommandLine
