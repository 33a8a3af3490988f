#pragma once

#include <QCoreApplication>
#include <QString>

#include <exception>
#include <string>
#include <type_traits>

// A text in two languages: as written (the source text, which the files the
// program writes keep whatever the language) and as the operator reads it
// (its translation for the language chosen at start-up).
struct TranslatedText
{
    QString source;
    QString shown;
};

namespace TranslatedTextParts {
inline const QString &sourceOf(const QString &s) { return s; }
inline const QString &sourceOf(const TranslatedText &t) { return t.source; }
inline const QString &shownOf(const QString &s) { return s; }
inline const QString &shownOf(const TranslatedText &t) { return t.shown; }
template <typename N, typename = std::enable_if_t<std::is_arithmetic_v<N>>>
QString sourceOf(N n) { return QString::number(n); }
template <typename N, typename = std::enable_if_t<std::is_arithmetic_v<N>>>
QString shownOf(N n) { return QString::number(n); }
} // namespace TranslatedTextParts

// The source text of context (marked for lupdate at the call with
// QT_TRANSLATE_NOOP) with its %1, %2... filled with args, which may be plain
// texts, numbers or translated texts themselves.
template <typename... Args>
TranslatedText translatedText(const char *context, const char *source, const Args &...args)
{
    using namespace TranslatedTextParts;
    const QString written = QString::fromUtf8(source);
    const QString shown = QCoreApplication::translate(context, source);
    if constexpr (sizeof...(Args) == 0)
        return { written, shown };
    else
        return { written.arg(sourceOf(args)...), shown.arg(shownOf(args)...) };
}

// The one exception type the program's layers raise; what the operator reads
// is text(), in the words of the layer that failed and in the operator's
// language; sourceText() is the same as written, for the files the program
// writes (the import's error log).
class Error : public std::exception
{
public:
    explicit Error(QString text);
    explicit Error(const TranslatedText &text);
    const QString &text() const { return m_text; }
    const QString &sourceText() const { return m_source; }
    const char *what() const noexcept override { return m_utf8.c_str(); }

private:
    QString m_text;
    QString m_source;
    std::string m_utf8;
};
