#include "TransferJournal.h"

#include "LoadPlan.h"
#include "SystemCause.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTimeZone>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

QString TransferJournal::path()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/transfers.log");
}

// "失败：不能打开串行端口 …" as the first journal and older callers word it.
static void splitResult(const QString &text, TransferJournal::Entry *entry)
{
    const QString word = text.section(u'：', 0, 0);
    for (auto result : { LoadResult::Done, LoadResult::Failed, LoadResult::Interrupted })
        if (word == resultText(result))
            entry->result = result;
    entry->detail = text.section(u'：', 1);
}

// With its offset, also when it comes from a line that was written without one.
static QDateTime withOffset(const QDateTime &time)
{
    // A local time says nothing of its offset in ISO form; UTC and fixed offsets already do.
    return time.timeZone() == QTimeZone::systemTimeZone() ? time.toOffsetFromUtc(time.offsetFromUtc()) : time;
}

bool TransferJournal::append(const Entry &entry, QString *error)
{
    const QJsonObject object{
        { "time", withOffset(entry.time.isValid() ? entry.time : QDateTime::currentDateTime()).toString(Qt::ISODate) },
        { "file", entry.file.isEmpty() ? QString() : QFileInfo(entry.file).absoluteFilePath() },
        { "device", entry.device },
        { "sha256", entry.frames.isEmpty() ? entry.sha256 : LoadPlan::checksumOf(entry.frames) },
        { "frames", QString::fromLatin1(entry.frames) },
        { "radio", entry.radio },
        { "sent", entry.framesSent },
        { "bytes", entry.bytesDrained },
        { "warnings", entry.warnings },
        { "result", resultText(entry.result) },
        { "detail", entry.detail },
    };
    const QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
    const QString journalPath = path();
    QString cause;
    QFile journal(journalPath);
    if (!QDir().mkpath(QFileInfo(journalPath).absolutePath()))
        cause = QStringLiteral("文件夹不能建立");
    // One write() at the end of the file: the window and --send may append at
    // the same moment, and neither line may break into the other.
    else if (!journal.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)
             || journal.write(line) != line.size())
        cause = SystemCause::inChinese(journal.errorString());
    // A record of a load that a power cut takes back is worse than none.
    else if (::fsync(journal.handle()) != 0)
        cause = SystemCause::inChinese(QString::fromLocal8Bit(std::strerror(errno)));
    if (cause.isEmpty())
        return true;
    if (error)
        *error = QStringLiteral("传送记录 %1 不能写入：%2").arg(journalPath, cause);
    return false;
}

static bool readLine(const QByteArray &line, TransferJournal::Entry *entry)
{
    if (line.startsWith('{')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.isEmpty())
            return false;
        entry->time = QDateTime::fromString(o.value("time").toString(), Qt::ISODate);
        entry->file = o.value("file").toString();
        entry->device = o.value("device").toString();
        entry->sha256 = o.value("sha256").toString();
        entry->frames = o.value("frames").toString().toLatin1();
        entry->radio = o.value("radio").toString();
        entry->framesSent = o.value("sent").toInt();
        entry->bytesDrained = o.value("bytes").toInteger(-1);
        entry->warnings = o.value("warnings").toInt(-1);
        splitResult(o.value("result").toString(), entry);
        entry->detail = o.value("detail").toString();
        return true;
    }
    const QStringList fields = QString::fromUtf8(line).split(u'\t');
    if (fields.size() != 5)
        return false;
    entry->time = withOffset(QDateTime::fromString(fields.at(0), Qt::ISODate));
    entry->file = fields.at(1);
    entry->sha256 = fields.at(2) == u'-' ? QString() : fields.at(2);
    entry->framesSent = fields.at(3).toInt();
    splitResult(fields.at(4), entry);
    return true;
}

QVector<TransferJournal::Entry> TransferJournal::entries()
{
    QFile journal(path());
    if (!journal.open(QIODevice::ReadOnly))
        return {};
    QVector<Entry> all;
    for (const QByteArray &line : journal.readAll().split('\n')) {
        Entry entry;
        if (readLine(line.trimmed(), &entry))
            all.append(entry);
    }
    std::reverse(all.begin(), all.end());
    return all;
}

QVector<TransferJournal::Entry> TransferJournal::entries(const QDate &from)
{
    QVector<Entry> all = entries();
    if (from.isValid())
        all.erase(std::remove_if(all.begin(), all.end(),
                                 [&from](const Entry &e) { return e.time.toLocalTime().date() < from; }),
                  all.end());
    return all;
}
