#include "JournalReading.h"

#include "LoadPlan.h"
#include "Sha256.h"
#include "SystemCause.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimeZone>

#include <algorithm>

using Entry = TransferJournal::Entry;
using Standing = Entry::Standing;

namespace {

bool resultOf(const QString &word, LoadResult *result)
{
    for (auto each : { LoadResult::Done, LoadResult::Failed, LoadResult::Interrupted })
        if (word == resultText(each)) {
            *result = each;
            return true;
        }
    return false;
}

bool wellFormedFrames(const QByteArray &frames)
{
    return frames.size() % 16 == 0
            && std::all_of(frames.cbegin(), frames.cend(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

QByteArray hashOf(QByteArrayView bytes)
{
    return Sha256::hex(bytes);
}

QDateTime timeOf(const QJsonValue &value)
{
    return value.isString() ? QDateTime::fromString(value.toString(), Qt::ISODate) : QDateTime();
}

// A time written without its offset is the PC's own.
QDateTime withOffset(const QDateTime &time)
{
    return time.timeZone() == QTimeZone::systemTimeZone() ? time.toOffsetFromUtc(time.offsetFromUtc()) : time;
}

} // namespace

JournalReading::JournalReading(const QString &path, Keep keep)
    : m_keepFrames(keep == Keep::Frames)
{
    Sha256::useOpenSsl();   // two hashes a load, a hundred thousand loads
    QFile file(path);
    m_exists = file.exists();
    if (!m_exists)
        return;
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("传送记录 %1 不能读取：%2")
                          .arg(path, SystemCause::inChinese(QFileInfo(path).isDir() ? QStringLiteral("Is a directory")
                                                                                     : file.errorString()));
        return;
    }
    read(file);
}

// Line by line: a journal of a hundred thousand loads is a hundred and more
// megabytes, which need not all be in memory at once.
void JournalReading::read(QFile &file)
{
    QByteArray previousHash;
    Line line;
    while (!file.atEnd()) {
        line.bytes = file.readLine();
        ++line.number;
        if (line.bytes.endsWith('\n'))
            line.bytes.chop(1);
        if (line.bytes.trimmed().isEmpty())
            continue;
        readLine(line, previousHash);
        previousHash = hashOf(line.bytes);
    }
    m_head = QString::fromLatin1(previousHash);
    finish();
}

void JournalReading::readLine(const Line &line, const QByteArray &previousHash)
{
    if (!line.bytes.startsWith('{')) {
        readLegacy(line);
        return;
    }
    const QJsonObject object = QJsonDocument::fromJson(line.bytes).object();
    if (!object.contains(QLatin1String("prev"))) {
        readLegacy(line);
        return;
    }
    m_chained = true;
    // The line before is not the one this line was written after: it was
    // changed, or lines between them were taken out.
    if (object.value(QLatin1String("prev")).toString().toLatin1() != previousHash)
        damage(line.number - 1, QStringLiteral("此行之后的记录与它对不上：它被改动过，或其后的记录被删除"));
    readChained(line, object);
}

void JournalReading::readChained(const Line &line, const QJsonObject &object)
{
    const QString kind = object.value(QLatin1String("kind")).toString();
    if (kind == QLatin1String("start") || kind == QLatin1String("refused"))
        readOpening(line, object);
    else if (kind == QLatin1String("end"))
        readClosing(line, object);
    else
        damage(line.number, QStringLiteral("不是本程序写的记录"));
}

void JournalReading::readOpening(const Line &line, const QJsonObject &object)
{
    Entry entry;
    entry.line = line.number;
    entry.time = timeOf(object.value(QLatin1String("time")));
    entry.host = object.value(QLatin1String("host")).toString();
    entry.file = object.value(QLatin1String("file")).toString();
    entry.device = object.value(QLatin1String("device")).toString();
    entry.radio = object.value(QLatin1String("radio")).toString();
    entry.warnings = object.value(QLatin1String("warnings")).toInt(-1);
    entry.frames = object.value(QLatin1String("frames")).toString().toLatin1();
    entry.sha256 = object.value(QLatin1String("sha256")).toString();
    entry.detail = object.value(QLatin1String("detail")).toString();
    entry.id = object.value(QLatin1String("load")).toString();
    entry.framesPlanned = int(entry.frames.size() / 16);
    const bool refused = object.value(QLatin1String("kind")).toString() == QLatin1String("refused");
    entry.standing = refused ? Standing::Sound : Standing::Incomplete;
    entry.result = refused ? LoadResult::Failed : LoadResult::Interrupted;
    setEntryOfLine(line.number, int(m_entries.size()));
    if (!refused)
        m_opened.insert(object.value(QLatin1String("load")).toString().toLatin1(), int(m_entries.size()));
    m_entries.append(entry);
    if (!entry.time.isValid())
        damage(line.number, QStringLiteral("时间不可读"));
    else if (!wellFormedFrames(entry.frames) || (!refused && entry.sha256.toLatin1() != hashOf(entry.frames)))
        damage(line.number, QStringLiteral("帧与记下的校验不符"));
    // What was planned stays known by its count and checksum.
    if (!m_keepFrames)
        m_entries.last().frames.clear();
}

void JournalReading::readClosing(const Line &line, const QJsonObject &object)
{
    // Only loads still open are looked up: a closing line closes one once.
    const QByteArray load = object.value(QLatin1String("load")).toString().toLatin1();
    const int opened = m_opened.value(load, -1);
    m_opened.remove(load);
    LoadResult result = LoadResult::Failed;
    if (opened < 0) {
        damage(line.number, QStringLiteral("找不到这次传送的开始记录"));
        return;
    }
    Entry &entry = m_entries[opened];
    setEntryOfLine(line.number, opened);
    entry.framesSent = object.value(QLatin1String("sent")).toInt(-1);
    entry.bytesDrained = object.value(QLatin1String("bytes")).toInteger(-1);
    entry.detail = object.value(QLatin1String("detail")).toString();
    if (!resultOf(object.value(QLatin1String("result")).toString(), &result)) {
        damage(line.number, QStringLiteral("结果不可读"));
        return;
    }
    entry.result = result;
    if (entry.standing == Standing::Incomplete)
        entry.standing = Standing::Sound;
    if (entry.bytesDrained < 0 || entry.framesSent != entry.bytesDrained / 16
        || entry.bytesDrained > 16 * qint64(entry.framesPlanned))
        damage(line.number, QStringLiteral("帧数与字节数不符"));
}

// The journals before the chain: a JSON line of one load, or the first
// journal's five tab-separated fields. After the first chained line there is
// no place for them: one found there was slipped in.
void JournalReading::readLegacy(const Line &line)
{
    Entry entry;
    entry.line = line.number;
    entry.standing = Standing::Legacy;
    bool readable = false;
    if (line.bytes.startsWith('{')) {
        const QJsonObject o = QJsonDocument::fromJson(line.bytes).object();
        entry.time = timeOf(o.value(QLatin1String("time")));
        entry.file = o.value(QLatin1String("file")).toString();
        entry.device = o.value(QLatin1String("device")).toString();
        entry.sha256 = o.value(QLatin1String("sha256")).toString();
        entry.frames = o.value(QLatin1String("frames")).toString().toLatin1();
        entry.radio = o.value(QLatin1String("radio")).toString();
        entry.framesSent = o.value(QLatin1String("sent")).toInt();
        entry.bytesDrained = o.value(QLatin1String("bytes")).toInteger(-1);
        entry.warnings = o.value(QLatin1String("warnings")).toInt(-1);
        entry.detail = o.value(QLatin1String("detail")).toString();
        readable = entry.time.isValid() && resultOf(o.value(QLatin1String("result")).toString(), &entry.result)
                && wellFormedFrames(entry.frames)
                && (entry.frames.isEmpty() || entry.sha256 == LoadPlan::checksumOf(entry.frames));
    } else {
        const QStringList fields = QString::fromUtf8(line.bytes).split(u'\t');
        if (fields.size() == 5) {
            entry.time = withOffset(QDateTime::fromString(fields.at(0), Qt::ISODate));
            entry.file = fields.at(1);
            entry.sha256 = fields.at(2) == u'-' ? QString() : fields.at(2);
            entry.framesSent = fields.at(3).toInt();
            entry.bytesDrained = -1;
            entry.detail = fields.at(4).section(u'：', 1);
            readable = entry.time.isValid() && resultOf(fields.at(4).section(u'：', 0, 0), &entry.result);
        }
    }
    setEntryOfLine(line.number, int(m_entries.size()));
    m_entries.append(entry);
    if (!readable)
        damage(line.number, QStringLiteral("不是本程序写的记录"));
    else if (m_chained)
        damage(line.number, QStringLiteral("旧格式的记录夹在校验链中"));
}

// The load the line belongs to is no longer one: listed as a damaged record.
void JournalReading::damage(int number, const QString &problem)
{
    const int known = m_entryOfLine.value(number, -1);
    Entry *entry = nullptr;
    if (known >= 0) {
        entry = &m_entries[known];
    } else {
        Entry lone;
        lone.line = number;
        setEntryOfLine(number, int(m_entries.size()));
        m_entries.append(lone);
        entry = &m_entries.last();
    }
    if (entry->standing == Standing::Damaged)
        return;
    entry->standing = Standing::Damaged;
    entry->problem = problem;
    entry->line = number;
    if (m_firstProblem.isEmpty()) {
        const QString when = entry->time.isValid()
                ? entry->time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))
                : QStringLiteral("时间不明");
        m_firstProblem = QStringLiteral("第 %1 行（%2）：%3").arg(number).arg(when, problem);
    }
}

void JournalReading::setEntryOfLine(int number, int entry)
{
    if (m_entryOfLine.size() <= number)
        m_entryOfLine.resize(number + 1, -1);
    m_entryOfLine[number] = entry;
}

void JournalReading::finish()
{
    m_opened.clear();
    m_entryOfLine.clear();
    std::reverse(m_entries.begin(), m_entries.end());
}

int JournalReading::loadCount() const
{
    return int(std::count_if(m_entries.cbegin(), m_entries.cend(), [](const Entry &e) { return e.isLoad(); }));
}

int JournalReading::legacyCount() const
{
    return int(std::count_if(m_entries.cbegin(), m_entries.cend(),
                             [](const Entry &e) { return e.standing == Standing::Legacy; }));
}
