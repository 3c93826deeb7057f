#include "DeviceState.h"

#include "PortMapping.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

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

DeviceState noPermission(const QString &device, gid_t group)
{
    return { DeviceState::NoPermission,
             QStringLiteral("没有权限打开 %1：当前用户需要加入 %2 组（sudo adduser $USER %2，然后重新登录）。")
                     .arg(device, groupName(group)) };
}

// The system's words for the three answers, as a Chinese desktop shows them.
QString noHardware(int error)
{
    switch (error) {
    case ENXIO: return QStringLiteral("没有那个设备或地址");
    case EIO: return QStringLiteral("输入/输出错误");
    default: return QStringLiteral("没有那个设备");
    }
}

} // namespace

DeviceState DeviceState::heldBy(const QString &device, const PortHolder &holder)
{
    if (!holder.found())
        return { InUse, QString() };
    const QString line = QStringLiteral("串口 %1 正被 %2使用。").arg(device, holder.describe());
    const QString fix = remedy(holder.name);
    return { InUse, fix.isEmpty() ? line : line + u'\n' + fix };
}

DeviceState DeviceState::probe(const QString &device, const SystemPaths &paths)
{
    const QString real = PortMapping::resolved(device);
    const QByteArray path = QFile::encodeName(real);
    struct stat info;
    if (::stat(path.constData(), &info) != 0)
        return { Missing, QStringLiteral("设备 %1 不存在。").arg(device) };
    if (::access(path.constData(), R_OK | W_OK) != 0)
        return noPermission(device, info.st_gid);
    if (!S_ISCHR(info.st_mode))
        return { NotSerial, QStringLiteral("%1 不是串口设备。").arg(device) };
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const int error = fd < 0 ? errno : 0;
    const bool terminal = fd >= 0 && ::isatty(fd);
    if (fd >= 0)
        ::close(fd);
    // What a laptop's /dev/ttyS0 answers: the node is made whether or not a
    // chip is there.
    if (error == ENXIO || error == EIO || error == ENODEV)
        return { NoHardware, QStringLiteral("没有这个串口设备（%1：%2）。").arg(device, noHardware(error)) };
    if (error == EACCES || error == EPERM)
        return noPermission(device, info.st_gid);
    if (fd >= 0 && !terminal)
        return { NotSerial, QStringLiteral("%1 不是串口设备。").arg(device) };
    const PortHolder holder = PortHolder::find(real, paths);
    if (holder.found() || error == EBUSY)
        return heldBy(device, holder);
    return {};
}

QString DeviceState::summary() const
{
    switch (kind) {
    case Opens: return QStringLiteral("可以打开");
    case InUse: return QStringLiteral("被占用");
    case Missing: return QStringLiteral("不存在");
    case NoHardware: return QStringLiteral("没有硬件");
    case NoPermission: return QStringLiteral("没有权限");
    case NotSerial: return QStringLiteral("不是串口设备");
    }
    return QString();
}
