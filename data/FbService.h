#pragma once

// The service manager of a Firebird engine, through the client library the
// program loads: the server's for a "host:" name, this process's embedded
// engine otherwise. It runs Firebird's own backup and restore, the very code
// of gbak, inside the engine. Only files of data/ include this header.

#include "data/Connection.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QIODevice;

class FbService
{
public:
    // The engine that serves a database name ("host/port:/dir/Kestra.GDB" or
    // a plain path): the server's prefix, and the name as that engine sees it.
    static QString serverPrefix(const QString &databaseName);
    static QString pathOnEngine(const QString &databaseName);

    // Attaches to the service manager; throws DbError (a refused user or
    // password in the program's own words).
    FbService(const QString &serverPrefix, const Credentials &credentials);
    ~FbService();
    FbService(const FbService &) = delete;
    FbService &operator=(const FbService &) = delete;

    // The backup file name that streams the backup to this process, and the
    // one that reads it from this process.
    static inline const QString Stdout = QStringLiteral("stdout");
    static inline const QString Stdin = QStringLiteral("stdin");

    // Starts a backup of database (as the engine names it) into file, with
    // gbak's log when verbose (a streamed backup has none).
    void startBackup(const QString &database, const QString &file, bool verbose);
    // Starts a restore of file into a new database: never over one.
    void startRestore(const QString &file, const QString &database);

    // Runs the started action to its end: each line of its log goes to
    // onLine, the bytes of a streamed backup to onData, and what a restore
    // from Stdin asks for is read from input. onLine is also called, with an
    // empty line, at least once a second while the engine works. Throws
    // DbError with the engine's text when the action fails.
    void run(const std::function<void(const QString &)> &onLine, const std::function<void(const char *, qint64)> &onData = {},
        QIODevice *input = nullptr);

private:
    void read(const std::function<void(const QString &)> &onLine, const std::function<void(const char *, qint64)> &onData, QIODevice *input);
    // One exchange with the engine; a failure past the end of a cut file
    // (endSent: how often the end was told) says so.
    void query(const std::vector<unsigned char> &send, const std::vector<unsigned char> &receive, unsigned char *result, int endSent);
    void waitUntilStopped();

    struct Handles;
    std::unique_ptr<Handles> d;
};
