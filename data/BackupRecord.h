#pragma once

#include "data/DatabaseFigures.h"

#include <QDateTime>
#include <QString>

#include <optional>

// What a backup written on this workstation holds, kept beside it in a small
// INI file ("FILE.controle"): its size and BLAKE2b-256 fingerprint (what
// "b2sum -l 256" prints, five times as fast as SHA-256 here), so that a file
// damaged or cut since is refused before anything is restored from it, and the rows
// of every table and the sums of the invoice amounts it was taken with, so
// that a restore can be compared with them.
struct BackupRecord
{
    QString fileName; // of the backup, without its directory
    qint64 size = -1;
    QByteArray fingerprint; // hexadecimal
    QDateTime taken;
    QString database; // the database it was taken of
    QString kind; // "manuelle", "avant initialisation", "avant importation"
    // Known when the database stood still long enough to be counted as the
    // backup saw it (see Backup).
    std::optional<DatabaseFigures> figures;

    static QString pathFor(const QString &backupFile);
    // The record beside the backup, when there is one; throws Error when it
    // is there but unreadable.
    static std::optional<BackupRecord> readFor(const QString &backupFile);
    // Throws Error when it cannot be written.
    void writeFor(const QString &backupFile) const;

    // The BLAKE2b-256 of a file in hexadecimal; throws Error when it cannot be read.
    static QByteArray fileFingerprint(const QString &path);
    // Whether the file is still the one recorded; when it is not, why.
    bool matches(const QString &backupFile, QString *why) const;
};
