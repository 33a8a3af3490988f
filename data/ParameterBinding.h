#pragma once

#include "data/FbClient.h"

#include <QByteArray>
#include <QHash>
#include <QVariant>
#include <QVector>

#include <memory>

// The values of a statement's parameters, laid out in the message the server
// reads. Each value travels in the type it has (a text bound to a number
// column is converted by the server), so the message's layout follows the
// values' types; the layouts met are kept, keyed by those types.
class ParameterBinding
{
public:
    explicit ParameterBinding(Firebird::IMessageMetadata *serverInput);
    ~ParameterBinding();
    ParameterBinding(const ParameterBinding &) = delete;
    ParameterBinding &operator=(const ParameterBinding &) = delete;

    int count() const { return int(m_server.size()); }
    // One value a place, in order; a null pointer or an invalid value is null.
    void bind(const QVector<const QVariant *> &values);
    // The message of the last bind.
    Firebird::IMessageMetadata *metadata() const;
    const void *buffer() const { return m_buffer.constData(); }

    // How one value travels.
    struct Slot
    {
        unsigned type = 0;
        unsigned length = 0;
        int scale = 0;
        int subType = 0;
        unsigned charSet = 0;
        bool operator==(const Slot &other) const = default;
    };

private:
    struct Layout;
    Slot slotFor(const QVariant &value, const Slot &server, QByteArray &text) const;
    std::shared_ptr<Layout> layoutFor(const QVector<Slot> &kinds);
    static void write(const QVariant &value, const Slot &slot, const QByteArray &text, unsigned char *p);

    FbRef<Firebird::IMessageMetadata> m_serverMeta;
    QVector<Slot> m_server;
    QHash<QVector<Slot>, std::shared_ptr<Layout>> m_layouts;
    std::shared_ptr<Layout> m_current;
    QByteArray m_buffer;
};

size_t qHash(const ParameterBinding::Slot &slot, size_t seed = 0);
