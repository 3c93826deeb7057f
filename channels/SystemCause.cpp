#include "SystemCause.h"

namespace SystemCause {

namespace {

struct Cause
{
    const char *english;
    const char16_t *chinese;
};

// strerror()'s words for the errno values a file or a serial device gives an
// operator (QFile and QSerialPort pass them on), and SQLite's. A longer text
// comes before a shorter one it holds: "No such device or address" before
// "No such device".
const Cause causes[] = {
    { "database is locked", u"文件正被其它程序使用（已锁定）" },
    { "readonly database", u"文件是只读的" },
    { "Read-only file system", u"文件是只读的" },
    { "No such file or directory", u"文件或文件夹不存在" },
    { "unable to open database file", u"文件不能打开" },
    { "Permission denied", u"没有访问权限" },
    { "No space left on device", u"磁盘已满" },
    { "database or disk is full", u"磁盘已满" },
    { "Disk quota exceeded", u"磁盘已满" },
    { "file is not a database", u"不是数据库文件" },
    { "file is encrypted or is not a database", u"不是数据库文件" },
    { "Device or resource busy", u"设备正被其它程序使用" },
    { "Input/output error", u"设备读写出错" },
    { "No such device or address", u"设备不存在或已拔下" },
    { "No such device", u"设备不存在" },
    { "Inappropriate ioctl for device", u"设备不支持此操作" },   // also a serial line hung up
    { "Is a directory", u"这是文件夹，不是文件" },
    { "Filename refers to a directory", u"这是文件夹，不是文件" },   // QFile's own
};

} // namespace

QString inChinese(const QString &cause)
{
    // Matched as parts of the text: SQLite and Qt wrap them in sentences of their own.
    for (const Cause &c : causes)
        if (cause.contains(QLatin1String(c.english), Qt::CaseInsensitive))
            return QString::fromUtf16(c.chinese);
    return cause;
}

QString withinText(const QString &message)
{
    QString text = message;
    for (const Cause &c : causes)
        text.replace(QLatin1String(c.english), QString::fromUtf16(c.chinese), Qt::CaseInsensitive);
    return text;
}

} // namespace SystemCause
