#include "PortDoctor.h"

#include "DeviceState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString firstLine(const QString &path)
{
    return QString::fromLocal8Bit(readFile(path)).section(u'\n', 0, 0).trimmed();
}

// The chips the udev rule names, with the kernel module that drives each.
struct Chip
{
    const char *vendor, *name, *module;
};

const Chip chips[] = {
    { "1a86", "WCH CH340/CH341", "ch341" },
    { "067b", "Prolific PL2303", "pl2303" },
    { "10c4", "Silicon Labs CP210x", "cp210x" },
    { "0403", "FTDI", "ftdi_sio" },
};

const Chip *chipOf(const QString &ids)
{
    for (const Chip &chip : chips)
        if (ids.startsWith(QLatin1String(chip.vendor)))
            return &chip;
    return nullptr;
}

// "crw-rw----", as ls shows it.
QString modeText(mode_t mode)
{
    QString text = S_ISCHR(mode) ? QStringLiteral("c") : QStringLiteral("-");
    const char letters[] = "rwx";
    for (int bit = 8; bit >= 0; --bit)
        text += (mode & (1u << bit)) ? QLatin1Char(letters[(8 - bit) % 3]) : QLatin1Char('-');
    return text;
}

// Where udev reads rules from, the earlier taking the place of a later file of
// the same name; /usr/local is where `cmake --install` puts it by default and
// udev never looks.
const char *const ruleFolders[] = { "/etc/udev/rules.d", "/run/udev/rules.d", "/usr/lib/udev/rules.d",
                                    "/lib/udev/rules.d", "/usr/local/lib/udev/rules.d" };
const QString ruleName = QStringLiteral("70-qt7020-serial.rules");
const QString reloadRules = QStringLiteral("sudo udevadm control --reload && sudo udevadm trigger");

} // namespace

PortDoctor::Account PortDoctor::Account::current()
{
    Account account;
    account.uid = ::geteuid();
    QList<gid_t> ids(::getgroups(0, nullptr));
    ids.resize(qMax(0, ::getgroups(int(ids.size()), ids.data())));
    ids.append(::getegid());
    for (gid_t id : ids)
        account.groups.append(id);
    const passwd *user = ::getpwuid(account.uid);
    account.name = user ? QString::fromLocal8Bit(user->pw_name) : QString::number(account.uid);
    return account;
}

PortDoctor::PortDoctor(const SystemPaths &paths, const Account &account, const QProcessEnvironment &environment)
    : m_paths(paths)
    , m_account(account)
    , m_environment(environment)
{
    const QDir proc(m_paths.proc());
    for (const QString &entry : proc.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number)
            m_processes.insert(pid, firstLine(proc.filePath(entry + QStringLiteral("/comm"))));
    }
}

qint64 PortDoctor::running(const QString &program) const
{
    for (auto p = m_processes.cbegin(); p != m_processes.cend(); ++p)
        if (p.value() == program)
            return p.key();
    return 0;
}

QStringList PortDoctor::adapters() const
{
    QStringList found;
    const QStringList names = QDir(under(QStringLiteral("/sys/class/tty")))
                                      .entryList({ QStringLiteral("ttyUSB*"), QStringLiteral("ttyACM*") },
                                                 QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names)
        found.append(QStringLiteral("/dev/") + name);
    return found;
}

// The device file behind a /dev/serial/by-id link, followed inside the root.
QString PortDoctor::deviceFile(const QString &device) const
{
    const QString path = device.startsWith(u'/') ? device : QStringLiteral("/dev/") + device;
    const QString real = QFileInfo(under(path)).canonicalFilePath();
    const QString root = m_paths.root.isEmpty() ? QString() : QFileInfo(m_paths.root).canonicalFilePath();
    return !real.isEmpty() && real.startsWith(root) ? real.mid(root.size()) : path;
}

bool PortDoctor::exists(const QString &device) const
{
    return QFileInfo::exists(under(deviceFile(device)));
}

bool PortDoctor::allClear(const QList<PortFinding> &findings)
{
    return std::none_of(findings.cbegin(), findings.cend(), [](const PortFinding &f) { return f.isProblem(); });
}

QList<PortFinding> PortDoctor::examine(const QString &device) const
{
    QList<PortFinding> findings = aboutSystem();
    const QStringList devices = device.isEmpty() ? adapters() : QStringList{ device };
    if (devices.isEmpty())
        findings.append({ PortFinding::Fault,
                          QStringLiteral("没有找到 USB 数据线。插好数据线后再检查；下面的命令显示系统是否认出了它。"),
                          QStringLiteral("sudo dmesg | tail -n 20") });
    for (const QString &each : devices)
        findings += aboutDevice(each);
    return findings;
}

QList<PortFinding> PortDoctor::aboutSystem() const
{
    QList<PortFinding> findings;
    if (const qint64 brltty = running(QStringLiteral("brltty")))
        findings.append({ PortFinding::Warning,
                          QStringLiteral("盲文终端程序 brltty 正在运行（PID %1），它会抢走 CH340 等 USB 数据线，"
                                         "使 /dev/ttyUSB0 消失。不用盲文显示器就删除它：").arg(brltty),
                          QStringLiteral("sudo apt remove brltty") });
    const QString snap = m_environment.value(QStringLiteral("SNAP_NAME"), QStringLiteral("qt7020"));
    if (m_environment.contains(QStringLiteral("SNAP")))
        findings.append({ PortFinding::Warning, QStringLiteral("本程序在 snap 沙盒中运行，沙盒不许它打开串口，除非接上 raw-usb 接口："),
                          QStringLiteral("sudo snap connect %1:raw-usb").arg(snap) });
    const QString flatpak = m_environment.value(QStringLiteral("FLATPAK_ID"), QStringLiteral("org.qt7020.qt7020"));
    if (m_environment.contains(QStringLiteral("FLATPAK_ID")) || QFileInfo::exists(under(QStringLiteral("/.flatpak-info"))))
        findings.append({ PortFinding::Warning, QStringLiteral("本程序在 flatpak 沙盒中运行，沙盒不许它打开串口，除非允许它使用设备："),
                          QStringLiteral("flatpak override --user --device=all %1").arg(flatpak) });
    const QString rule = installedRule();
    if (rule.startsWith(QLatin1String("/usr/local/")))
        findings.append({ PortFinding::Warning,
                          QStringLiteral("udev 规则装在了 %1，udev 不读这个文件夹，规则不起作用：").arg(rule),
                          QStringLiteral("sudo ln -s %1 /etc/udev/rules.d/ && %2").arg(rule, reloadRules) });
    return findings;
}

QList<PortFinding> PortDoctor::aboutDevice(const QString &device) const
{
    QList<PortFinding> findings;
    const QString file = deviceFile(device);
    const bool present = exists(file);
    if (!present)
        findings.append({ PortFinding::Fault,
                          QStringLiteral("设备 %1 不存在。检查数据线是否插好；下面的命令列出系统认出的数据线：").arg(device),
                          QStringLiteral("ls -l /dev/serial/by-id/") });
    // Without a chip or a driver behind it the device opens for nobody: the rest would only confuse.
    if (!checkChip(file, &findings) || !present || !opensAsALoadWould(device, &findings))
        return findings;
    const QStringList udev = udevRecord(file);
    checkAccess(file, udev, &findings);
    checkHolder(file, &findings);
    checkUdev(file, udev, &findings);
    return findings;
}

// The running system's device is opened as a load opens it, so that the
// doctor refuses what --send refuses, in the same words: no character
// device or no terminal, no hardware behind the node. A tree that stands in
// for the system in a test has files, not devices, and is not probed.
bool PortDoctor::opensAsALoadWould(const QString &device, QList<PortFinding> *findings) const
{
    if (!m_paths.root.isEmpty())
        return true;
    const DeviceState state = DeviceState::probe(device, m_paths);
    if (state.kind != DeviceState::NotSerial && state.kind != DeviceState::NoHardware)
        return true;
    findings->append({ PortFinding::Fault, state.cause, QStringLiteral("ls -l /dev/serial/by-id/") });
    return false;
}

// "1a86:7523" from the USB device above the tty, empty for an on-board port.
QString PortDoctor::usbIds(const QString &device) const
{
    const QString sys = under(QStringLiteral("/sys/class/tty/%1/device").arg(QFileInfo(device).fileName()));
    QDir dir(QFileInfo(sys).canonicalFilePath());
    // ttyUSB0's device is the usb-serial port under the interface, ttyACM0's the
    // interface itself; the ids are on the USB device above either.
    for (int up = 0; up < 3 && !dir.path().isEmpty(); ++up) {
        const QString vendor = firstLine(dir.filePath(QStringLiteral("idVendor")));
        if (!vendor.isEmpty())
            return vendor + u':' + firstLine(dir.filePath(QStringLiteral("idProduct")));
        if (!dir.cdUp())
            break;
    }
    return QString();
}

bool PortDoctor::checkChip(const QString &device, QList<PortFinding> *findings) const
{
    const QString name = QFileInfo(device).fileName();
    const QString sys = under(QStringLiteral("/sys/class/tty/%1/device").arg(name));
    if (!QFileInfo(sys).isSymLink())
        return true;   // a pseudo-terminal or a tty the kernel has no device for
    const QString ids = usbIds(device);
    const Chip *chip = chipOf(ids);
    const QString chipText = ids.isEmpty() ? QStringLiteral("主板串口")
            : QStringLiteral("芯片 %1").arg(chip ? QStringLiteral("%1（%2）").arg(ids, QLatin1String(chip->name)) : ids);
    // An on-board port the kernel probed and found no UART behind (a laptop's ttyS0).
    if (ids.isEmpty() && firstLine(under(QStringLiteral("/sys/class/tty/%1/type").arg(name))) == QLatin1String("0")) {
        findings->append({ PortFinding::Fault, QStringLiteral("%1 后面没有串口芯片，电脑上没有这个串口。请用 USB 数据线：").arg(device),
                           QStringLiteral("ls -l /dev/serial/by-id/") });
        return false;
    }
    const QFileInfo driver(sys + QStringLiteral("/driver"));
    if (!driver.isSymLink()) {
        const QString module = chip                                    ? QLatin1String(chip->module)
                : name.startsWith(QLatin1String("ttyACM")) ? QStringLiteral("cdc_acm")
                                                           : QStringLiteral("usbserial");
        findings->append({ PortFinding::Fault,
                           QStringLiteral("%1（%2）没有绑定驱动，打不开。加载驱动：").arg(device, chipText),
                           QStringLiteral("sudo modprobe %1").arg(module) });
        return false;
    }
    findings->append({ PortFinding::Note,
                       QStringLiteral("%1：%2，驱动 %3。").arg(device, chipText, QFileInfo(driver.symLinkTarget()).fileName()),
                       QString() });
    return true;
}

// The device's record in the udev database, "G:uaccess", "E:KEY=value" lines;
// empty where udev has none (no udev, or the device came before it).
QStringList PortDoctor::udevRecord(const QString &device) const
{
    const QString numbers = firstLine(under(QStringLiteral("/sys/class/tty/%1/dev").arg(QFileInfo(device).fileName())));
    if (numbers.isEmpty())
        return {};
    return QString::fromLocal8Bit(readFile(under(QStringLiteral("/run/udev/data/c") + numbers))).split(u'\n');
}

namespace {

// "dialout:x:20:alice,bob" from the group file.
QStringList groupEntry(const QString &groupFile, uint gid)
{
    for (const QString &line : QString::fromLocal8Bit(readFile(groupFile)).split(u'\n')) {
        const QStringList fields = line.split(u':');
        if (fields.size() >= 4 && fields[2] == QString::number(gid))
            return fields;
    }
    return {};
}

bool modePermits(const struct stat &info, const PortDoctor::Account &account)
{
    if (account.uid == 0)
        return true;
    const mode_t need = info.st_uid == account.uid               ? S_IRUSR | S_IWUSR
            : account.groups.contains(uint(info.st_gid)) ? S_IRGRP | S_IWGRP
                                                         : S_IROTH | S_IWOTH;
    return (info.st_mode & need) == need;
}

} // namespace

void PortDoctor::checkAccess(const QString &device, const QStringList &udev, QList<PortFinding> *findings) const
{
    const QByteArray path = QFile::encodeName(under(device));
    struct stat info;
    if (::stat(path.constData(), &info) != 0 || modePermits(info, m_account))
        return;
    // On the running system an ACL (uaccess at the desktop) may let us in where the mode does not.
    if (m_paths.root.isEmpty() && m_account.uid == ::geteuid() && ::access(path.constData(), R_OK | W_OK) == 0)
        return;
    const QString mode = modeText(info.st_mode);
    if ((info.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) {
        findings->append({ PortFinding::Fault,
                           QStringLiteral("%1 的权限是 %2，只有它的主人能打开。临时放开（拔插后失效）：").arg(device, mode),
                           QStringLiteral("sudo chmod a+rw %1").arg(device) });
        return;
    }
    QStringList entry = groupEntry(under(QStringLiteral("/etc/group")), uint(info.st_gid));
    const group *system = m_paths.root.isEmpty() && entry.isEmpty() ? ::getgrgid(info.st_gid) : nullptr;
    const QString group = !entry.isEmpty() ? entry[0]
            : system                       ? QString::fromLocal8Bit(system->gr_name)
                                           : QString::number(info.st_gid);
    const QString seat = udev.contains(QStringLiteral("G:uaccess"))
            ? QStringLiteral("（uaccess 只让本机桌面上登录的用户打开，远程登录不算）")
            : QString();
    if (entry.value(3).split(u',').contains(m_account.name)) {
        findings->append({ PortFinding::Fault,
                           QStringLiteral("用户 %1 已加入 %2 组，但这次登录还不算：注销后重新登录；或者在终端里先运行下面的命令，"
                                          "再从那个终端启动 qt7020。%3").arg(m_account.name, group, seat),
                           QStringLiteral("newgrp %1").arg(group) });
        return;
    }
    findings->append({ PortFinding::Fault,
                       QStringLiteral("没有权限打开 %1（%2，属于 %3 组）：用户 %4 不在 %3 组里。加入后要注销并重新登录。%5")
                               .arg(device, mode, group, m_account.name, seat),
                       QStringLiteral("sudo usermod -aG %1 $USER").arg(group) });
}

void PortDoctor::checkHolder(const QString &device, QList<PortFinding> *findings) const
{
    const PortHolder holder = PortHolder::find(device, m_paths);
    if (!holder.found())
        return;
    // These two come back after a kill; what stops them is in their own findings.
    const QString remedy = holder.name == QLatin1String("ModemManager") ? QStringLiteral("sudo systemctl disable --now ModemManager")
            : holder.name == QLatin1String("brltty")                   ? QStringLiteral("sudo apt remove brltty")
                                                                        : QStringLiteral("kill %1").arg(holder.pid);
    findings->append({ PortFinding::Fault,
                       QStringLiteral("%1 正被 %2使用。先退出那个程序，或者结束它：").arg(device, holder.describe()),
                       remedy });
}

// The rule file this package installs, where udev (or the install) put it.
QString PortDoctor::installedRule() const
{
    for (const char *folder : ruleFolders) {
        const QString path = QLatin1String(folder) + u'/' + ruleName;
        if (QFileInfo::exists(under(path)))
            return path;
    }
    return QString();
}

void PortDoctor::checkUdev(const QString &device, const QStringList &udev, QList<PortFinding> *findings) const
{
    const QString ids = usbIds(device);
    if (ids.isEmpty())
        return;   // ModemManager leaves on-board ports alone
    const bool ignored = udev.contains(QStringLiteral("E:ID_MM_DEVICE_IGNORE=1"));
    const QString rule = installedRule();
    const QStringList pair = ids.split(u':');
    const QRegularExpression names(QStringLiteral("ATTRS\\{idVendor\\}==\"%1\", ATTRS\\{idProduct\\}==\"%2\"")
                                           .arg(pair.value(0), pair.value(1)));
    const bool covered = !rule.isEmpty() && !rule.startsWith(QLatin1String("/usr/local/"))
            && QString::fromUtf8(readFile(under(rule))).contains(names);
    const bool applied = ignored && (udev.contains(QStringLiteral("G:uaccess")) || udev.contains(QStringLiteral("Q:uaccess")));
    if (covered && !applied)
        findings->append({ PortFinding::Warning,
                           QStringLiteral("已装的 udev 规则 %1 还没有用到 %2（规则是在插上数据线之后装的）。让 udev 重读规则：")
                                   .arg(rule, device),
                           reloadRules });
    else if (!ignored && running(QStringLiteral("ModemManager")))
        findings->append({ PortFinding::Warning,
                           QStringLiteral("ModemManager 正在运行，会用 AT 命令试探 %1，占住它几秒并向电台发送杂乱数据。停用它：")
                                   .arg(device),
                           QStringLiteral("sudo systemctl disable --now ModemManager") });
}
