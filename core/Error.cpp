#include "core/Error.h"

Error::Error(QString text)
    : m_text(std::move(text))
    , m_source(m_text)
    , m_utf8(m_text.toStdString())
{
}

Error::Error(const TranslatedText &text)
    : m_text(text.shown)
    , m_source(text.source)
    , m_utf8(m_text.toStdString())
{
}
