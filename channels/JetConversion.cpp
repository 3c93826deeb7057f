#include "JetConversion.h"

#include "BackupName.h"
#include "ChannelFileKind.h"
#include "JetReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

bool JetConversion::convert(const QString &path, QString *backup, QString *error, const QString &table)
{
    auto fail = [error](const QString &cause) {
        if (error)
            *error = cause;
        return false;
    };
    if (!isJet(channelFileKind(path)))
        return fail(QStringLiteral("不是 Access 格式的文件"));
    JetReader jet;
    if (!jet.read(path, table))
        return fail(jet.errorString());

    // The new file is written beside the old one under a passing name, so that
    // renaming it into place is the last, all-or-nothing step.
    QTemporaryFile fresh(QFileInfo(path).dir().filePath(QStringLiteral(".char4-converting-XXXXXX.mdb")));
    if (!fresh.open())
        return fail(QStringLiteral("不能在此文件夹中写入新文件：%1").arg(fresh.errorString()));
    fresh.close();
    QString cause;
    if (!ChannelDatabase::create(fresh.fileName(), jet.fieldNames(), jet.rows(), &cause))
        return fail(QStringLiteral("写入新文件失败：%1").arg(cause));

    const QString old = BackupName::accessOriginal(path);
    if (!QFile::rename(path, old))
        return fail(QStringLiteral("不能把原文件改名为 %1").arg(QFileInfo(old).fileName()));
    if (!fresh.rename(path)) {
        QFile::rename(old, path);
        return fail(QStringLiteral("不能把新文件放到原位置：%1").arg(fresh.errorString()));
    }
    fresh.setAutoRemove(false);
    if (backup)
        *backup = old;
    return true;
}
