#include "JournalSet.h"

#include <QFileInfo>
#include <QSet>
#include <QSysInfo>

#include <algorithm>

using Entry = TransferJournal::Entry;

JournalSet::JournalSet(const QStringList &others, JournalReading::Keep keep)
{
    add(TransferJournal::path(), keep, true);
    for (const QString &path : others)
        add(path, keep, false);
    if (!hasOthers())
        return;
    // A time that cannot be read sorts last; otherwise each file's order stays.
    std::stable_sort(m_entries.begin(), m_entries.end(), [](const Entry &a, const Entry &b) {
        return a.time.isValid() && (!b.time.isValid() || a.time > b.time);
    });
}

void JournalSet::add(const QString &path, JournalReading::Keep keep, bool own)
{
    const QString canonical = QFileInfo(path).canonicalFilePath();
    for (const Source &source : m_sources)
        if (!canonical.isEmpty() && QFileInfo(source.path).canonicalFilePath() == canonical)
            return;   // the own journal named again
    Source source;
    source.path = path;
    source.name = QFileInfo(path).fileName();
    const JournalReading reading(path, keep);
    source.exists = reading.exists();
    if (!reading.exists() && !own)
        source.error = QStringLiteral("传送记录 %1 不存在。").arg(path);
    else if (!reading.isReadable())
        source.error = reading.error();
    source.intact = reading.isIntact();
    source.firstProblem = reading.firstProblem();
    source.head = reading.head();
    source.loads = reading.loadCount();
    source.legacy = reading.legacyCount();
    const auto named = std::find_if(reading.entries().cbegin(), reading.entries().cend(),
                                    [](const Entry &e) { return !e.host.isEmpty(); });
    if (named != reading.entries().cend())
        source.name = named->host;
    QSet<QString> known;
    for (const Entry &entry : m_entries)
        known.insert(entry.id);
    for (Entry entry : reading.entries()) {
        if (!entry.id.isEmpty() && known.contains(entry.id))
            continue;
        if (entry.host.isEmpty())
            entry.host = own ? QSysInfo::machineHostName() : QFileInfo(path).fileName();
        m_entries << entry;
    }
    m_sources << source;
}

QString JournalSet::error() const
{
    for (const Source &source : m_sources)
        if (!source.error.isEmpty())
            return source.error;
    return QString();
}

QStringList JournalSet::damage() const
{
    QStringList lines;
    for (const Source &source : m_sources)
        if (!source.intact)
            lines << QStringLiteral("传送记录 %1（%2）被改动过：%3").arg(source.path, source.name, source.firstProblem);
    return lines;
}

QString JournalSet::heads() const
{
    if (!hasOthers())
        return m_sources.value(0).head;
    QStringList heads;
    for (const Source &source : m_sources)
        if (!source.head.isEmpty())
            heads << QStringLiteral("%1 %2").arg(source.name, JournalReading::shortHead(source.head));
    return heads.join(QStringLiteral("，"));
}

QVector<Entry> JournalSet::selected(const QDate &since, const QString &radio) const
{
    QVector<Entry> kept = TransferJournal::since(m_entries, since);
    if (!radio.isEmpty())
        kept.removeIf([&radio](const Entry &entry) { return entry.radio != radio; });
    return kept;
}
