#pragma once

#include "JournalReading.h"
#include "TransferJournal.h"

#include <QString>
#include <QStringList>
#include <QVector>

// Journals read together: this PC's own and copies from the other PCs a fleet
// is loaded at. Each file is checked on its own, since a chain vouches for
// its file only; their loads are merged newest first, a load found in two
// copies once. Every entry names the PC it came from: the host its lines
// name, else (lines of the first journals) this PC for its own journal and
// the file's name for a copy.
class JournalSet
{
public:
    struct Source
    {
        QString path;
        QString name;            // its PC, as its entries name it
        QString error;           // it cannot be read, or is not there
        bool exists = false;     // this PC's may not be, where no radio was ever loaded
        bool intact = true;
        QString firstProblem;    // as JournalReading says it
        QString head;
        int loads = 0;
        int legacy = 0;          // of them, lines of the journals before the chain
    };

    // This PC's journal, then `others` in their order.
    explicit JournalSet(const QStringList &others = {}, JournalReading::Keep keep = JournalReading::Keep::Frames);

    const QVector<TransferJournal::Entry> &entries() const { return m_entries; }
    const QVector<Source> &sources() const { return m_sources; }
    bool hasOthers() const { return m_sources.size() > 1; }
    // Why a journal named cannot be read; empty when all can.
    QString error() const;
    // One line for each journal that is not as written.
    QStringList damage() const;
    // The chain heads a report prints: the one journal's head, or each
    // journal's first 16 digits with its PC.
    QString heads() const;

    // The loads a report asks for, newest first: from `since` on (all when it
    // is not a date), of one radio when `radio` names one.
    QVector<TransferJournal::Entry> selected(const QDate &since, const QString &radio) const;

private:
    void add(const QString &path, JournalReading::Keep keep, bool own);

    QVector<TransferJournal::Entry> m_entries;
    QVector<Source> m_sources;
};
