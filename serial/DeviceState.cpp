#include "DeviceState.h"

#include "PortMapping.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString processName(const QString &pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

QString remedy(const QString &name)
{
    if (name == QLatin1String("ModemManager"))
        return QStringLiteral("ModemManager 在试探这根数据线：sudo systemctl disable --now ModemManager");
    if (name == QLatin1String("brltty"))
        return QStringLiteral("盲文终端程序 brltty 占用了这根数据线：sudo apt remove brltty");
    return QString();
}

QString groupName(gid_t gid)
{
    const group *owner = ::getgrgid(gid);
    return owner ? QString::fromLocal8Bit(owner->gr_name) : QString::number(gid);
}

bool isTerminal(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return true;   // cannot tell; let the real opening say why
    const bool terminal = ::isatty(fd);
    ::close(fd);
    return terminal;
}

// The first other process with `device` among its open files; readable only
// for the user's own processes unless we run as root.
struct Holder
{
    QString pid;
    QString name;
};

Holder findHolder(const QString &device)
{
    const QString target = PortMapping::resolved(device);
    const QString self = QString::number(::getpid());
    const QDir proc(QStringLiteral("/proc"));
    for (const QString &pid : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid == self || !pid.front().isDigit())
            continue;
        const QDir fds(proc.filePath(pid + QStringLiteral("/fd")));
        for (const QString &fd : fds.entryList(QDir::System | QDir::NoDotAndDotDot))
            if (QFile::symLinkTarget(fds.filePath(fd)) == target)
                return { pid, processName(pid) };
    }
    return {};
}

} // namespace

QString DeviceState::holder(const QString &device)
{
    const Holder found = findHolder(device);
    if (found.pid.isEmpty())
        return QString();
    const QString line = QStringLiteral("%1（进程 %2）").arg(found.name, found.pid);
    const QString fix = remedy(found.name);
    return fix.isEmpty() ? line : line + u'\n' + fix;
}

DeviceState DeviceState::probe(const QString &device)
{
    const QByteArray path = QFile::encodeName(PortMapping::resolved(device));
    struct stat info;
    if (::stat(path.constData(), &info) != 0)
        return { Missing, QStringLiteral("设备 %1 不存在。").arg(device) };
    if (::access(path.constData(), R_OK | W_OK) != 0)
        return { NoPermission,
                 QStringLiteral("没有权限打开 %1：当前用户需要加入 %2 组（sudo adduser $USER %2，然后重新登录）。")
                         .arg(device, groupName(info.st_gid)) };
    if (!S_ISCHR(info.st_mode) || !isTerminal(path))
        return { NotSerial, QStringLiteral("%1 不是串行设备。").arg(device) };
    const QString who = holder(device);
    if (!who.isEmpty())
        return { InUse, QStringLiteral("%1 正被其它程序使用：%2").arg(device, who) };
    return {};
}

QString DeviceState::summary() const
{
    switch (kind) {
    case Opens: return QStringLiteral("可以打开");
    case InUse: return QStringLiteral("被占用");
    case Missing: return QStringLiteral("不存在");
    case NoPermission: return QStringLiteral("没有权限");
    case NotSerial: return QStringLiteral("不是串行设备");
    }
    return QString();
}
