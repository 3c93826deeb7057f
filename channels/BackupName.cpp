#include "BackupName.h"

#include <QDir>
#include <QFileInfo>
#include <functional>

namespace BackupName {

// The n-th name of a series for the first n (from 1) that names no file.
static QString firstFree(const std::function<QString(int)> &nth)
{
    QString name = nth(1);
    for (int n = 2; QFileInfo::exists(name); ++n)
        name = nth(n);
    return name;
}

QString beforeImport(const QString &path)
{
    return firstFree([&path](int n) {
        return n == 1 ? path + QStringLiteral(".bak") : path + QStringLiteral(".bak.%1").arg(n);
    });
}

QString accessOriginal(const QString &path)
{
    const QFileInfo info(path);
    const QString base = info.dir().filePath(info.completeBaseName());
    return firstFree([&base](int n) {
        return n == 1 ? base + QStringLiteral(".jet.mdb") : base + QStringLiteral(".jet.%1.mdb").arg(n);
    });
}

} // namespace BackupName
