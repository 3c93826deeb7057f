#include "PortHolder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <climits>
#include <cstring>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QString processName(const SystemPaths &paths, qint64 pid)
{
    QFile comm(QStringLiteral("%1/%2/comm").arg(paths.proc()).arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

// A process we may not signal still runs.
bool isRunning(qint64 pid)
{
    return pid > 0 && pid <= INT_MAX && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

} // namespace

// Four bytes are the binary form whatever they look like: PID 12601 is the
// bytes "91\0\0", which would read as text as PID 91.
qint64 PortHolder::lockOwner(const QByteArray &content)
{
    int binary = 0;
    if (content.size() == int(sizeof binary)) {
        std::memcpy(&binary, content.constData(), sizeof binary);
        return binary;
    }
    const qsizetype end = content.indexOf('\n');
    const QByteArray line = (end < 0 ? content : content.left(end)).trimmed();
    bool ascii = false;
    const qint64 pid = line.toLongLong(&ascii);
    return ascii ? pid : 0;
}

namespace {

// Qt's naming, so that another Qt program's lock is found under the same name.
QString lockFileName(const QString &device)
{
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    return QStringLiteral("LCK..") + name.replace(u'/', u'_');
}

QString linkTarget(const QString &path)
{
    char target[PATH_MAX];
    const ssize_t n = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
    return n > 0 ? QFile::decodeName(QByteArray(target, int(n))) : QString();
}

// A pseudo-terminal's other end, as /proc/PID/fdinfo tells it for /dev/ptmx:
// "tty-index: 3" for /dev/pts/3.
bool holdsMasterOf(const QDir &process, const QString &fd, const QString &device)
{
    static const QString pts = QStringLiteral("/dev/pts/");
    if (!device.startsWith(pts))
        return false;
    QFile info(process.filePath(QStringLiteral("fdinfo/") + fd));
    if (!info.open(QIODevice::ReadOnly))
        return false;
    const QByteArray index = "tty-index:\t" + device.mid(pts.size()).toLatin1() + '\n';
    return info.readAll().contains(index);
}

} // namespace

QString PortHolder::describe() const
{
    return QStringLiteral("%1（PID %2）").arg(name.isEmpty() ? QStringLiteral("未知程序") : name).arg(pid);
}

PortHolder PortHolder::fromLockFile(const QString &device, const SystemPaths &paths, StaleLocks stale)
{
    const QString file = lockFileName(device);
    for (const QString &directory : paths.lockDirectories()) {
        QFile lock(directory + u'/' + file);
        if (!lock.open(QIODevice::ReadOnly))
            continue;
        const qint64 pid = PortHolder::lockOwner(lock.read(64));
        lock.close();
        if (pid == ::getpid())
            continue;
        if (isRunning(pid))
            return { pid, processName(paths, pid) };
        // A file without a PID may be one being written this moment.
        if (stale == RemoveStale && pid > 0)
            lock.remove();
    }
    return {};
}

PortHolder PortHolder::fromFlock(const QString &device, const SystemPaths &paths)
{
    struct stat info;
    QFile locks(paths.proc() + QStringLiteral("/locks"));
    if (::stat(QFile::encodeName(device).constData(), &info) != 0 || !locks.open(QIODevice::ReadOnly))
        return {};
    // "1: FLOCK  ADVISORY  WRITE 1234 00:1a:3 0 EOF", the device's file system
    // in hex and its inode; a process waiting for the lock has "->" after the number.
    const QByteArray file = QStringLiteral("%1:%2:%3")
                                    .arg(major(info.st_dev), 2, 16, QLatin1Char('0'))
                                    .arg(minor(info.st_dev), 2, 16, QLatin1Char('0'))
                                    .arg(info.st_ino)
                                    .toLatin1();
    // Files in /proc have no size: read to the end, not by lines until atEnd().
    for (const QByteArray &line : locks.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 6 || fields[1] != "FLOCK" || fields[5] != file)
            continue;
        const qint64 pid = fields[4].toLongLong();
        if (pid > 0 && pid != ::getpid())
            return { pid, processName(paths, pid) };
    }
    return {};
}

PortHolder PortHolder::fromOpenFiles(const QString &device, const SystemPaths &paths)
{
    const QDir proc(paths.proc());
    const QString self = QString::number(::getpid());
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 id = pid.toLongLong(&number);
        if (!number || pid == self)
            continue;
        // The program that made a pseudo-terminal holds its other end: it is
        // the line's far side (a test, a terminal), not a user of the device.
        const QDir process(proc.filePath(pid));
        const QDir fds(process.filePath(QStringLiteral("fd")));
        bool holds = false, isFarEnd = false;
        for (const QString &fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
            const QString target = linkTarget(fds.filePath(fd));
            holds = holds || target == device;
            isFarEnd = isFarEnd || (target == QLatin1String("/dev/ptmx") && holdsMasterOf(process, fd, device));
        }
        if (holds && !isFarEnd)
            return { id, processName(paths, id) };
    }
    return {};
}

PortHolder PortHolder::find(const QString &device, const SystemPaths &paths)
{
    PortHolder holder = fromLockFile(device, paths);
    if (!holder.found())
        holder = fromFlock(device, paths);
    if (!holder.found())
        holder = fromOpenFiles(device, paths);
    return holder;
}
