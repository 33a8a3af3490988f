#include "core/Error.h"

Error::Error(QString text)
    : m_text(std::move(text))
    , m_utf8(m_text.toStdString())
{
}
