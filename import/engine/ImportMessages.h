#pragma once

#include "core/Error.h"
#include "import/engine/ImportMessageIds.h"

#include <QString>
#include <QStringList>

#include <functional>

// The import's numbered texts (ids 24000 and up): the engine's, the readers'
// and the wizard's, in English as operators of the import know them.

// The one exception class of the import.
class ImportError : public Error
{
public:
    explicit ImportError(const QString &text)
        : Error(text)
    {
    }
    explicit ImportError(const TranslatedText &text)
        : Error(text)
    {
    }
};

// The context of the import's texts in the translation files: the message
// table's and the readers' own (marked QT_TRANSLATE_NOOP("ImportMessages", ...)).
inline constexpr const char *ImportMessagesContext = "ImportMessages";

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
ImportError dataImportError(int id, const QStringList &args = {});

// What the operator reads: the same texts translated for the language chosen
// at start-up. The error log and the templates keep the texts above.
QString trMessage(int id);
QString trFormatMessage(int id, const QStringList &args);
// Both at once: the message as written and as shown.
TranslatedText messageText(int id, const QStringList &args = {});
// A text of the import context (marked QT_TRANSLATE_NOOP("ImportMessages",
// ...) where it is written) with its "%s"/"%d" filled in order; shownArgs,
// when given, fill the translation (an argument that is a text of its own).
TranslatedText importText(const char *source, const QStringList &args = {}, const QStringList &shownArgs = {});
