#pragma once

#include <QString>
#include <QStringList>

// Where the system keeps its processes and the lock files of serial devices.
// Tests point `root` at a tree of their own; empty is the running system.
struct SystemPaths
{
    QString root;

    QString proc() const { return root + QStringLiteral("/proc"); }
    // Debian links /var/lock to /run/lock; elsewhere they may be two folders.
    QStringList lockDirectories() const
    {
        return { root + QStringLiteral("/run/lock"), root + QStringLiteral("/var/lock") };
    }
};

// Another process that holds a serial device, so that a refusal can name it.
struct PortHolder
{
    qint64 pid = 0;     // 0: none found
    QString name;       // its /proc/PID/comm, empty when that cannot be read

    bool found() const { return pid > 0; }
    // "minicom（PID 1234）"
    QString describe() const;

    enum StaleLocks { KeepStale, RemoveStale };

    // The PID a lock file names: ten padded digits (UUCP), digits and more
    // lines (QLockFile), or four bytes of a binary int (the oldest programs).
    static qint64 lockOwner(const QByteArray &content);

    // The running process, not this one, named by a UUCP lock file of the
    // real device path `device`. A lock whose process has ended was left by a
    // crash and holds nothing; RemoveStale deletes it where we may, since
    // QSerialPort refuses a young one it cannot read.
    static PortHolder fromLockFile(const QString &device, const SystemPaths &paths = {},
                                   StaleLocks stale = KeepStale);
    // The process, not this one, that took a flock on `device`: the kernel
    // lists it in /proc/locks, whoever else has the device open.
    static PortHolder fromFlock(const QString &device, const SystemPaths &paths = {});
    // The first process, not this one, with `device` among its open files:
    // the exclusive mode (TIOCEXCL) leaves no other trace. Only the user's own
    // processes can be seen unless we run as root.
    static PortHolder fromOpenFiles(const QString &device, const SystemPaths &paths = {});
    // The surest first: a lock file or a flock names the program that took
    // the device, where an open file may be any program that has it open too.
    static PortHolder find(const QString &device, const SystemPaths &paths = {});
};
