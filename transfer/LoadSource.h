#pragma once

#include "TransferJournal.h"

#include <QByteArray>
#include <QString>

// One side of a comparison of loads: the bytes a load of it puts on the wire.
// A channel file gives the frames a load of it would send now; "journal:N" the
// frames the N-th most recent load in the journal sent (1 is the last), as
// far as it got; "radio:LABEL" those of the newest load that put frames on
// the wire into the radio so labelled: what that radio holds, as far as the
// journal knows.
class LoadSource
{
public:
    // Reads `which` at once; a journal side from `journal` (newest first),
    // this PC's journal when none is given.
    explicit LoadSource(const QString &which, const QVector<TransferJournal::Entry> *journal = nullptr);
    // The load `entry` of a journal already read, the `number`-th most recent,
    // as "journal:number" would give it.
    LoadSource(const TransferJournal::Entry &entry, int number);

    // False when there is nothing to compare: a file that does not open or
    // would not be sent, a journal entry that is not there or was written
    // without its frames; error() says which in the operator's words.
    bool isValid() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    QByteArray frames() const { return m_frames; }
    // `which` as given, for a journal entry with its radio and time (and the
    // PC, when another one's): "journal:1（巡逻 01，2026-12-07 15:29）".
    QString label() const { return m_label; }

private:
    void readJournal(const QString &which, const QVector<TransferJournal::Entry> &entries);
    void readRadio(const QString &label, const QVector<TransferJournal::Entry> &entries);
    void readEntry(const TransferJournal::Entry &entry);
    void readFile(const QString &path);

    QByteArray m_frames;
    QString m_label;
    QString m_error;
};
