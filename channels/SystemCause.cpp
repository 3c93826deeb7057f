#include "SystemCause.h"

namespace SystemCause {

QString inChinese(const QString &cause)
{
    // Matched as parts of the text: SQLite and Qt wrap them in sentences of their own.
    static const struct { const char *english; const char16_t *chinese; } causes[] = {
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
    };
    for (const auto &c : causes)
        if (cause.contains(QLatin1String(c.english), Qt::CaseInsensitive))
            return QString::fromUtf16(c.chinese);
    return cause;
}

} // namespace SystemCause
