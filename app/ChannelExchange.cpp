#include "app/ChannelExchange.h"

#include "channels/ChannelCsv.h"
#include "channels/ChannelModel.h"
#include "channels/ChirpCsv.h"

#include <QFile>
#include <QSaveFile>

namespace ChannelExchange {

bool exportTo(ChannelModel &model, const QString &file, Format format, QString *report, QString *error)
{
    if (!model.isOpen()) {
        *error = QStringLiteral("信道数据库未打开");
        return false;
    }
    const QVector<QVariantList> rows = model.allRows();
    QStringList skipped;
    const QByteArray bytes = format == ChirpCsv ? ChirpCsv::write(rows, &skipped) : ChannelCsv::write(rows);
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
        *error = QStringLiteral("不能写入 %1：%2").arg(file, out.errorString());
        return false;
    }
    *report = QStringLiteral("已导出 %1 行到 %2。").arg(rows.size() - skipped.size()).arg(file);
    if (!skipped.isEmpty())
        *report += QStringLiteral("\n未导出 %1 行：\n%2").arg(skipped.size()).arg(skipped.join(u'\n'));
    return true;
}

bool read(const QString &file, ImportedRows *rows, QString *error)
{
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("不能读取 %1：%2").arg(file, in.errorString());
        return false;
    }
    const QByteArray bytes = in.readAll();
    QString cause;
    const bool ours = QString::fromUtf8(bytes.left(64)).remove(QChar(0xFEFF)).startsWith(QStringLiteral("记录编号"));
    const bool ok = ours ? ChannelCsv::read(bytes, rows, &cause) : ChirpCsv::read(bytes, rows, &cause);
    if (!ok)
        *error = QStringLiteral("%1 %2").arg(file, cause);
    return ok;
}

QString summary(const ImportedRows &rows)
{
    QString text = QStringLiteral("读取了 %1 行").arg(rows.rows.size());
    if (!rows.skipped.isEmpty())
        text += QStringLiteral("，跳过 %1 行：\n%2").arg(rows.skipped.size()).arg(rows.skipped.join(u'\n'));
    return text + QStringLiteral("。");
}

} // namespace ChannelExchange
