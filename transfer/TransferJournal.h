#pragma once

#include "LoadResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// transfers.log in the user's data folder: one line per load, so that it can
// be told afterwards which plan went into which radio, from which file,
// through which device, and how it ended. Each line is a JSON object; grep
// finds a file, a checksum or a result in it, and a program reads it back
// whole. Lines of the first journal (time, file, 8-digit checksum, frames,
// result, tab-separated) are still read.
class TransferJournal
{
public:
    struct Entry
    {
        QDateTime time;           // when the load started; now when left unset
        QString file;             // the channel file, absolute
        QString device;           // the device path, for USB also vendor:product and serial number
        // SHA-256 of `frames`, 64 lowercase digits; worked out from `frames`
        // when those are given. 8 digits in lines of the first journal, empty
        // when nothing was planned.
        QString sha256;
        QByteArray frames;        // every frame the load planned, one after the other;
                              // the first `framesSent` of them went on the wire
        QString radio;            // which radio received them, as labelled by --send --radio; may be empty
        int framesSent = 0;
        qint64 bytesDrained = -1; // -1: not measured
        int warnings = -1;        // acknowledged by the operator; -1: not asked
        LoadResult result = LoadResult::Failed;
        QString detail;           // the first line of a failure, a note on the file
    };

    static QString path();
    // One line, on the disk before this returns; false with `error` naming
    // the journal and the cause.
    static bool append(const Entry &entry, QString *error = nullptr);
    // Newest first; lines that are neither form are passed over.
    static QVector<Entry> entries();
    // The same from the local date `from` on; every one when `from` is invalid.
    static QVector<Entry> entries(const QDate &from);
};
