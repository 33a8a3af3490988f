#include "import/engine/ImportMessages.h"

#include <QCoreApplication>
#include <QHash>

namespace {

struct MessageEntry
{
    int id;
    const char *text;
};

// One fragment per unit, so that each unit's texts sit together.
const MessageEntry Messages[] = {
#include "import/engine/messages/DbfMessages.inc"
#include "import/engine/messages/EngineMessages.inc"
#include "import/engine/messages/TextMessages.inc"
#include "import/engine/messages/WizardMessages.inc"
#include "import/engine/messages/XlsMessages.inc"
#include "import/engine/messages/XmlMessages.inc"
};

MessageLookupHook &hook()
{
    static MessageLookupHook h;
    return h;
}

const MessageEntry *entry(int id)
{
    static const QHash<int, const MessageEntry *> byId = [] {
        QHash<int, const MessageEntry *> m;
        for (const MessageEntry &e : Messages)
            m.insert(e.id, &e);
        return m;
    }();
    return byId.value(id);
}

const QHash<int, QString> &table()
{
    static const QHash<int, QString> t = [] {
        QHash<int, QString> m;
        for (const MessageEntry &e : Messages)
            m.insert(e.id, QString::fromUtf8(e.text));
        return m;
    }();
    return t;
}

} // namespace

void setMessageLookupHook(MessageLookupHook h)
{
    hook() = std::move(h);
}

QString loadMessage(int id)
{
    if (hook()) {
        QString s = hook()(id);
        if (!s.isEmpty())
            return s;
    }
    return table().value(id).left(1023);
}

QString fillPlaceholders(const QString &text, const QStringList &args)
{
    QString out;
    int next = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('%') && i + 1 < text.size() && (text[i + 1] == QLatin1Char('s') || text[i + 1] == QLatin1Char('d'))) {
            out += next < args.size() ? args[next] : QString();
            ++next;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

QString formatMessage(int id, const QStringList &args)
{
    return fillPlaceholders(loadMessage(id), args);
}

ImportError dataImportError(int id, const QStringList &args)
{
    return ImportError(messageText(id, args));
}

QString trMessage(int id)
{
    if (hook()) {
        const QString s = hook()(id);
        if (!s.isEmpty())
            return QCoreApplication::translate(ImportMessagesContext, s.toUtf8().constData());
    }
    const MessageEntry *e = entry(id);
    return e ? QCoreApplication::translate(ImportMessagesContext, e->text).left(1023) : QString();
}

QString trFormatMessage(int id, const QStringList &args)
{
    return fillPlaceholders(trMessage(id), args);
}

TranslatedText messageText(int id, const QStringList &args)
{
    return { formatMessage(id, args), trFormatMessage(id, args) };
}

TranslatedText importText(const char *source, const QStringList &args, const QStringList &shownArgs)
{
    return { fillPlaceholders(QString::fromUtf8(source), args),
        fillPlaceholders(QCoreApplication::translate(ImportMessagesContext, source), shownArgs.isEmpty() ? args : shownArgs) };
}
