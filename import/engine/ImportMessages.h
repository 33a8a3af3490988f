#pragma once

#include "core/Error.h"
#include "import/engine/ImportMessageIds.h"

#include <QString>
#include <QStringList>

#include <functional>

// The import's numbered texts (ids 24000 and up): the engine's, the readers'
// and the wizard's, in English as operators of the import know them.

// The one exception class of the import.
class EDataImportError : public Error
{
public:
    explicit EDataImportError(const QString &text)
        : Error(text)
    {
    }
};

// A process-wide hook asked first; a non-empty answer replaces the table's text.
using MessageLookupHook = std::function<QString(int id)>;
void setMessageLookupHook(MessageLookupHook hook);

// The text of message id (at most 1023 characters); empty for an unknown id.
// Callers name their ids (ImportMsg::MapIsEmpty); the hook and the table go
// by number.
QString loadMessage(int id);
// The text with its "%s"/"%d" place holders filled in order.
QString formatMessage(int id, const QStringList &args);
// Any text's "%s"/"%d" place holders filled in order, as the messages are.
QString fillPlaceholders(const QString &text, const QStringList &args);
EDataImportError dataImportError(int id, const QStringList &args = {});
