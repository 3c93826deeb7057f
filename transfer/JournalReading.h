#pragma once

#include "TransferJournal.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>

class QFile;
class QJsonObject;

// A journal file read back and checked: every line's hash against the next
// line's `prev`, every opening line's frames against its checksum, every
// closing line against the load it names. A line that fails is listed as a
// damaged record, never as a load. The head is the hash of the newest line:
// printed on a report, it lets the file be checked against the paper later.
class JournalReading
{
public:
    // What is kept of each load: its frames too, or only what a check of
    // the whole journal needs.
    enum class Keep { Frames, Summary };

    explicit JournalReading(const QString &path = TransferJournal::path(), Keep keep = Keep::Frames);

    // False when the file is there but cannot be read (or is no file).
    bool isReadable() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }
    bool exists() const { return m_exists; }

    // Newest first.
    const QVector<TransferJournal::Entry> &entries() const { return m_entries; }
    // True when no line is damaged; an unfinished load breaks nothing.
    bool isIntact() const { return m_firstProblem.isEmpty(); }
    // The first damaged line: "第 12 行（2026-12-07 09:12）：帧与记下的校验不符".
    QString firstProblem() const { return m_firstProblem; }
    // SHA-256 of the newest line, 64 digits; empty for an empty journal.
    QString head() const { return m_head; }
    int loadCount() const;
    int legacyCount() const;

    // The head as a report prints it: its first 16 digits.
    static QString shortHead(const QString &head) { return head.left(16); }

private:
    struct Line
    {
        int number = 0;
        QByteArray bytes;
    };

    void read(QFile &file);
    void readLine(const Line &line, const QByteArray &previousHash);
    void readChained(const Line &line, const QJsonObject &object);
    void readOpening(const Line &line, const QJsonObject &object);
    void readClosing(const Line &line, const QJsonObject &object);
    void readLegacy(const Line &line);
    void damage(int number, const QString &problem);
    void setEntryOfLine(int number, int entry);
    void finish();

    QVector<TransferJournal::Entry> m_entries;   // in file order until finish()
    QHash<QByteArray, int> m_opened;             // a load's name, while it is open → entry
    QVector<int> m_entryOfLine;                  // line number → entry, -1 for none
    QString m_error;
    QString m_firstProblem;
    QString m_head;
    bool m_exists = false;
    bool m_chained = false;
    bool m_keepFrames = true;
};
