#include "TransferJournal.h"

#include "JournalReading.h"
#include "LoadPlan.h"
#include "SystemCause.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTimeZone>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString dataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/qt7020");
}

// Earlier versions kept the journal a folder deeper, under the organisation's
// name as well; it moves once, the first time the journal is asked for.
void carryOver(const QString &journal)
{
    const QString old = dataFolder() + QStringLiteral("/qt7020/transfers.log");
    if (QFileInfo::exists(journal) || !QFileInfo::exists(old))
        return;
    QDir().mkpath(QFileInfo(journal).absolutePath());
    if (!QFile::rename(old, journal))
        QFile::copy(old, journal);
}

// With its offset, so that a journal read in another time zone, or the CSV
// in a spreadsheet, tells the same moment.
QString isoTime(const QDateTime &time)
{
    const QDateTime t = time.isValid() ? time : QDateTime::currentDateTime();
    return (t.timeZone() == QTimeZone::systemTimeZone() ? t.toOffsetFromUtc(t.offsetFromUtc()) : t).toString(Qt::ISODate);
}

QString systemError()
{
    return SystemCause::inChinese(QString::fromLocal8Bit(std::strerror(errno)));
}

// The last line of the open journal `fd`, without its line end, and whether
// the file ends in one (a line torn by a crash does not).
bool lastLine(int fd, QByteArray *line, bool *ended)
{
    struct stat info;
    if (::fstat(fd, &info) != 0)
        return false;
    const qint64 size = info.st_size;
    qint64 from = size;
    QByteArray tail;
    // Lines are about a kilobyte: read back until a whole one is in hand.
    while (from > 0) {
        const qint64 chunk = std::min<qint64>(from, 64 * 1024);
        from -= chunk;
        QByteArray piece(chunk, Qt::Uninitialized);
        if (::pread(fd, piece.data(), size_t(chunk), off_t(from)) != chunk)
            return false;
        tail.prepend(piece);
        const QByteArray trimmed = tail.endsWith('\n') ? tail.chopped(1) : tail;
        if (trimmed.contains('\n') || from == 0)
            break;
    }
    *ended = tail.isEmpty() || tail.endsWith('\n');
    const QByteArray body = tail.endsWith('\n') ? tail.chopped(1) : tail;
    *line = body.mid(body.lastIndexOf('\n') + 1);
    return true;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// One line at the end of the journal, chained to the line before it and on
// the disk before this returns. The window and --send may append at the same
// moment: the file is locked from reading the last line to the sync.
bool appendLine(QJsonObject object, QString *error)
{
    const QString journal = TransferJournal::path();
    QString cause;
    QByteArray line;
    const int fd = QDir().mkpath(QFileInfo(journal).absolutePath())
            ? ::open(QFile::encodeName(journal).constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644)
            : -1;
    if (fd < 0) {
        cause = errno ? systemError() : QStringLiteral("文件夹不能建立");
    } else {
        QByteArray previous;
        bool ended = true;
        if (::flock(fd, LOCK_EX) != 0 || !lastLine(fd, &previous, &ended)) {
            cause = systemError();
        } else {
            object.insert(QStringLiteral("prev"), previous.isEmpty() ? QString() : LoadPlan::checksumOf(previous));
            line = QJsonDocument(object).toJson(QJsonDocument::Compact);
            // A record of a load that a power cut takes back is worse than none.
            if (!writeAll(fd, (ended ? QByteArray() : QByteArray("\n")) + line + '\n') || ::fsync(fd) != 0)
                cause = systemError();
        }
        ::close(fd);   // and with it the lock
    }
    if (cause.isEmpty())
        return true;
    if (error)
        *error = QStringLiteral("传送记录 %1 不能写入：%2").arg(journal, cause);
    return false;
}

QJsonObject describing(const TransferJournal::Entry &load, const char *kind)
{
    return QJsonObject{
        { "kind", QLatin1String(kind) },
        { "time", isoTime(load.time) },
        { "host", QSysInfo::machineHostName() },
        { "file", load.file.isEmpty() ? QString() : QFileInfo(load.file).absoluteFilePath() },
        { "device", load.device },
        { "radio", load.radio },
        { "warnings", load.warnings },
    };
}

// A load's first line, or its only one when refused: what it is about and
// `more`, under an id of its own that its closing line names. Named apart
// from its line's hash, so that a changed opening line is one damaged record,
// not also a closing line that lost its load.
bool appendFirstLine(TransferJournal::Entry &load, const char *kind, const QJsonObject &more, QString *error)
{
    const QString id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    QJsonObject object = describing(load, kind);
    object.insert(QStringLiteral("load"), id);
    for (auto field = more.begin(); field != more.end(); ++field)
        object.insert(field.key(), field.value());
    if (!appendLine(object, error))
        return false;
    load.id = id;
    return true;
}

} // namespace

QString TransferJournal::path()
{
    const QString journal = dataFolder() + QStringLiteral("/transfers.log");
    carryOver(journal);
    return journal;
}

bool TransferJournal::open(Entry &load, QString *error)
{
    return appendFirstLine(load, "start",
                           { { "frames", QString::fromLatin1(load.frames) }, { "sha256", LoadPlan::checksumOf(load.frames) } },
                           error);
}

bool TransferJournal::close(const Entry &load, QString *error)
{
    // Whole frames only: a frame cut short on the line is no frame the radio has.
    return appendLine({ { "kind", QStringLiteral("end") },
                        { "time", isoTime(QDateTime::currentDateTime()) },
                        { "load", load.id },
                        { "result", resultText(load.result) },
                        { "sent", int(std::max<qint64>(0, load.bytesDrained) / 16) },
                        { "bytes", std::max<qint64>(0, load.bytesDrained) },
                        { "detail", SystemCause::withinText(load.detail) } },
                      error);
}

bool TransferJournal::refuse(Entry &load, QString *error)
{
    return appendFirstLine(load, "refused", { { "detail", SystemCause::withinText(load.detail) } }, error);
}

QVector<TransferJournal::Entry> TransferJournal::entries(const QDate &from)
{
    return since(JournalReading(path()).entries(), from);
}

QVector<TransferJournal::Entry> TransferJournal::since(const QVector<Entry> &entries, const QDate &from)
{
    QVector<Entry> kept = entries;
    if (from.isValid())
        kept.erase(std::remove_if(kept.begin(), kept.end(),
                                  [&from](const Entry &e) { return e.isLoad() && e.time.toLocalTime().date() < from; }),
                   kept.end());
    return kept;
}

QString TransferJournal::Entry::resultWords() const
{
    switch (standing) {
    case Standing::Damaged: return QStringLiteral("损坏的记录（第 %1 行）").arg(line);
    case Standing::Incomplete: return QStringLiteral("中断（记录不完整）");
    case Standing::Legacy:
    case Standing::Sound: break;
    }
    return resultText(result);
}
