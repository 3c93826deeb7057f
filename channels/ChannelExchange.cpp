#include "ChannelExchange.h"

#include "BackupName.h"
#include "ChannelCsv.h"
#include "ChannelFileKind.h"
#include "ChannelStore.h"
#include "ChirpCsv.h"
#include "Csv.h"
#include "JetConversion.h"
#include "SystemCause.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace ChannelExchange {

static QString nameOf(const QString &path) { return QFileInfo(path).fileName(); }

Outcome exportTo(ChannelStore &store, const QString &file, Format format)
{
    if (!store.isOpen())
        return { false, QStringLiteral("导出失败：信道文件 %1 未打开").arg(store.fileName()) };
    const QVector<QVariantList> rows = store.allRows();
    QStringList skipped;
    const QByteArray bytes = format == Format::Chirp ? ChirpCsv::write(rows, &skipped) : ChannelCsv::write(rows);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        return { false, QStringLiteral("导出失败：不能写入 %1：%2").arg(file, SystemCause::inChinese(out.errorString())) };
    QString report = QStringLiteral("已导出 %1 行到 %2。").arg(rows.size() - skipped.size()).arg(file);
    if (!skipped.isEmpty())
        report += QStringLiteral("\n未导出 %1 行：\n%2").arg(skipped.size()).arg(skipped.join(u'\n'));
    return { true, report };
}

static QString summary(const ImportedRows &rows, const QString &encoding)
{
    QString text = QStringLiteral("按 %1 编码读取了 %2 行").arg(encoding).arg(rows.rows.size());
    if (!rows.skipped.isEmpty())
        text += QStringLiteral("，跳过 %1 行：\n%2").arg(rows.skipped.size()).arg(rows.skipped.join(u'\n'));
    return text + QStringLiteral("。");
}

Import read(const QString &file)
{
    static const QString refused = QStringLiteral("导入失败，信道表没有改动：\n");
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly))
        return { false, refused + QStringLiteral("不能读取 %1：%2").arg(file, SystemCause::inChinese(in.errorString())), {} };
    const QByteArray bytes = in.readAll();
    Import import;
    QString cause;
    QString encoding;
    const bool ours = Csv::decode(bytes, &encoding, &cause).startsWith(ChannelCsv::header().first());
    import.ok = ours ? ChannelCsv::read(bytes, &import.rows, &cause) : ChirpCsv::read(bytes, &import.rows, &cause);
    import.message = import.ok ? summary(import.rows, encoding) : refused + QStringLiteral("%1 %2").arg(file, cause);
    return import;
}

QString question(ChannelStore &store, const Import &import)
{
    return import.message
            + QStringLiteral("\n\n用这些行替换信道表现有的全部 %1 行吗？原文件会先复制为 %2。")
                      .arg(store.allRows().size())
                      .arg(nameOf(BackupName::beforeImport(store.path())));
}

// Every row in one transaction, after copying the file to char4.mdb.bak
// (char4.mdb.bak.2, … when taken); on failure the file's rows are as they were.
static bool replaceAll(ChannelStore &store, const QVector<QVariantList> &rows, QString *backup, QString *error)
{
    if (!store.isOpen() || store.isReadOnly()) {
        *error = store.isReadOnly() ? QStringLiteral("旧格式（Access）的文件不能修改，请先转换为新格式")
                                    : QStringLiteral("数据库未打开");
        return false;
    }
    *backup = BackupName::beforeImport(store.path());
    if (!QFile::copy(store.path(), *backup)) {
        *error = QStringLiteral("不能复制为 %1").arg(nameOf(*backup));
        return false;
    }
    ChannelDatabase file;
    if (!file.open(store.path()) || !file.replaceAll(rows)) {
        *error = file.errorString();
        return false;
    }
    file.close();
    if (!store.open(store.path()))
        *error = store.errorString();
    return store.isOpen();
}

Outcome apply(ChannelStore &store, const Import &import)
{
    QString backup;
    QString error;
    if (!replaceAll(store, import.rows.rows, &backup, &error))
        return { false, QStringLiteral("导入失败，信道表没有改动：%1").arg(error) };
    return { true, QStringLiteral("已导入 %1 行。原文件已复制为 %2。").arg(import.rows.rows.size()).arg(nameOf(backup)) };
}

Outcome convert(const QString &path)
{
    if (!isJet(channelFileKind(path)))
        return { false, QStringLiteral("%1 不是旧格式（Access）的信道文件，不需要转换。").arg(nameOf(path)) };
    QString backup;
    QString error;
    if (!JetConversion::convert(path, &backup, &error))
        return { false, QStringLiteral("转换失败，%1 没有任何改动：%2").arg(nameOf(path), SystemCause::inChinese(error)) };
    return { true, QStringLiteral("已转换为新格式，现在可以修改。\n原文件已改名为 %1，内容未作改动。").arg(nameOf(backup)) };
}

} // namespace ChannelExchange
