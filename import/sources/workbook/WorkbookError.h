#pragma once

#include "import/engine/ImportMessages.h"

// File and record errors of the Excel 97-2003 reader.
class WorkbookError : public ImportError
{
public:
    using ImportError::ImportError;

    // The complaints every part of the reader makes about a damaged file.
    [[noreturn]] static void fileInvalid();
    [[noreturn]] static void readError();
    [[noreturn]] static void recordInvalid(quint16 id);
};

// A formula token the shared-formula walk does not know.
class TokenError : public ImportError
{
public:
    TokenError(quint8 tokenId, const TranslatedText &text)
        : ImportError(text)
        , m_tokenId(tokenId)
    {
    }
    quint8 tokenId() const { return m_tokenId; }

private:
    quint8 m_tokenId;
};
