#pragma once

#include "LoadResult.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QVector>

// transfers.log in the user's data folder ($XDG_DATA_HOME/qt7020): the record
// of every load, so that it can be told afterwards which plan went into
// which radio, from which file, through which device, and how it ended. For
// a radio that reads nothing back it is the only proof.
//
// A load writes two lines: before its first byte the opening line (time,
// PC, file, device, radio, the frames and their checksum), synced to the
// disk, and at its verdict the closing line (result, frames and bytes on the
// line, why). No load starts without its opening line. A load refused before
// it began writes one line.
//
// Each line is a JSON object and carries the SHA-256 of the line before it
// (`prev`), so that a line changed, removed or slipped in afterwards shows:
// the chain is tamper-evident, not tamper-proof (whoever rewrites the whole
// file can forge a new chain, but not a head already printed on a report).
// Lines of the journals before the chain are still read, as old records.
class TransferJournal
{
public:
    struct Entry
    {
        enum class Standing {
            Sound,        // its lines are as written
            Incomplete,   // opened, never closed: a power cut, kill -9, or still running
            Legacy,       // written before the chain: nothing vouches for it
            Damaged,      // a line changed, removed, or not this program's
        };

        QDateTime time;           // when the load started; now when left unset
        QString host;             // the PC it ran on
        QString file;             // the channel file, absolute
        QString device;           // the device path, for USB also vendor:product and serial number
        // SHA-256 of `frames`, 64 lowercase digits; worked out from `frames`
        // when those are given. 8 digits in lines of the first journal, empty
        // when nothing was planned.
        QString sha256;
        QByteArray frames;        // every frame the load planned, one after the other
        int framesPlanned = 0;
        QString radio;            // which radio received them, as labelled; may be empty
        int framesSent = 0;       // whole frames that left the line: bytesDrained / 16
        qint64 bytesDrained = 0;  // -1: not measured (old records)
        int warnings = -1;        // acknowledged by the operator; -1: not asked
        LoadResult result = LoadResult::Failed;
        QString detail;           // the first line of a failure, a note on the file

        Standing standing = Standing::Sound;
        int line = 0;             // its first line in the file, from 1
        QString problem;          // what is wrong with a damaged one
        QString id;               // names the load in its lines; a run's report picks its loads by it

        // 完成, 失败, 中断; 中断（记录不完整）; 损坏的记录（第 N 行）.
        QString resultWords() const;
        bool isLoad() const { return standing != Standing::Damaged; }
    };

    static QString path();

    // Before the first byte of a load: its opening line, on the disk when this
    // returns; `load.id` names it for the closing line. False with `error`
    // naming the journal and the cause: the load must not start.
    static bool open(Entry &load, QString *error = nullptr);
    // The load's verdict: result, frames and bytes on the line, detail.
    static bool close(const Entry &load, QString *error = nullptr);
    // A load refused before it began, in one line; `load.id` names it.
    static bool refuse(Entry &load, QString *error = nullptr);

    // The loads of this PC's journal, newest first, damaged lines among them
    // as such; from the local date `from` on, every one when it is invalid.
    static QVector<Entry> entries(const QDate &from = {});
    static QVector<Entry> since(const QVector<Entry> &entries, const QDate &from);
};
