#pragma once

// The Firebird client library, loaded at run time. Only files of data/
// include this header; it brings the client's OO interfaces.

#include "data/DbError.h"

#include <firebird/Interface.h>
#include <memory>

class FbClient
{
public:
    // The library, loaded on first use; throws when it cannot be loaded.
    static FbClient &instance();
    // Whether the library can be loaded; message is set when it cannot.
    static bool available(QString *message = nullptr);
    // For tests: the library file name to load instead of libfbclient.so.2.
    static void setLibraryName(const QString &name);
    static QString missingLibraryMessage(const QString &libraryName);
    // Whether a library of that name loads and offers the client interface.
    static bool probe(const QString &libraryName, QString *message = nullptr);

    Firebird::IMaster *master() const { return m_master; }
    Firebird::IUtil *util() const { return m_util; }
    Firebird::IProvider *provider() const { return m_provider; }

    QString formatStatus(Firebird::IStatus *status) const;

private:
    FbClient() = default;
    Firebird::IMaster *m_master = nullptr;
    Firebird::IUtil *m_util = nullptr;
    Firebird::IProvider *m_provider = nullptr;
};

// Status wrapper whose failures raise DbError with the client's text.
class FbStatus : public Firebird::BaseStatusWrapper<FbStatus>
{
public:
    FbStatus();
    ~FbStatus();
    FbStatus(const FbStatus &) = delete;
    FbStatus &operator=(const FbStatus &) = delete;

    static void checkException(FbStatus *status);
};

// Releases a reference-counted interface when it goes out of scope.
template <class T> class FbRef
{
public:
    FbRef() = default;
    explicit FbRef(T *p)
        : m_p(p)
    {
    }
    ~FbRef() { reset(); }
    FbRef(const FbRef &) = delete;
    FbRef &operator=(const FbRef &) = delete;
    FbRef(FbRef &&o) noexcept
        : m_p(o.m_p)
    {
        o.m_p = nullptr;
    }
    FbRef &operator=(FbRef &&o) noexcept
    {
        if (this != &o) {
            reset();
            m_p = o.m_p;
            o.m_p = nullptr;
        }
        return *this;
    }
    void reset(T *p = nullptr)
    {
        if (m_p)
            m_p->release();
        m_p = p;
    }
    T *get() const { return m_p; }
    T *operator->() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    // Ends the interface with a call that releases it when it succeeds
    // (close, commit, detach): after a failure the reference is still held,
    // and released with this object.
    template <class F> void finish(F &&end)
    {
        if (!m_p)
            return;
        end(m_p);
        m_p = nullptr;
    }

private:
    T *m_p = nullptr;
};

// Disposes of an interface that is not reference-counted (a parameter block
// builder) when it goes out of scope.
struct FbDispose
{
    template <class T> void operator()(T *p) const
    {
        if (p)
            p->dispose();
    }
};
template <class T> using FbOwned = std::unique_ptr<T, FbDispose>;

struct Credentials;
// Puts the user and the password into a parameter block of an attachment
// (database or service manager: both take them under the same tags).
void insertCredentials(Firebird::IXpbBuilder *block, FbStatus &status, const Credentials &credentials);

// Character set number of WIN1252 in the server's catalogue.
constexpr unsigned CharsetWin1252 = 53;
