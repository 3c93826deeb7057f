#include "UnsavedEdits.h"

#include "ChannelCsv.h"
#include "ChannelEditor.h"
#include "ChannelStore.h"
#include "FieldValue.h"

#include <QFileInfo>
#include <QSaveFile>

namespace UnsavedEdits {

QString fileFor(const QString &database)
{
    return database + QStringLiteral(".unsaved.csv");
}

ChannelExchange::Outcome keep(ChannelStore &model)
{
    if (model.unsavedCount() == 0 || model.writeUnsaved() == ChannelStore::Outcome::Written)
        return { true, QString() };
    QVector<QVariantList> rows;
    for (int row : model.unsavedRows()) {
        const ChannelRow *values = model.rowAt(row);
        rows << QVariantList(values->values.begin(), values->values.end());
    }
    const QString side = fileFor(model.path());
    QSaveFile file(side);
    if (!file.open(QIODevice::WriteOnly) || file.write(ChannelCsv::write(rows)) < 0 || !file.commit())
        return { false, QStringLiteral("不能写入 %1：%2").arg(QFileInfo(side).fileName(), file.errorString()) };
    return { true, QStringLiteral("有 %1 行修改未能保存到 %2，已另存在 %3。")
                           .arg(rows.size()).arg(model.fileName(), QFileInfo(side).fileName()) };
}

// The one row of the table with this record number, or -1.
static int rowWithRecord(ChannelStore &model, const QVariant &record)
{
    int found = -1;
    const QString wanted = FieldValue::fieldText(record);
    for (int row = 0; const ChannelRow *values = model.rowAt(row); ++row) {
        if (FieldValue::isNull(record) || FieldValue::fieldText(values->values[0]) != wanted)
            continue;
        if (found >= 0)
            return -1;
        found = row;
    }
    return found;
}

ChannelExchange::Outcome apply(ChannelEditor &editor)
{
    ChannelStore &model = *editor.store();
    const QString side = fileFor(model.path());
    const QString sideName = QFileInfo(side).fileName();
    QFile file(side);
    ImportedRows kept;
    QString error;
    if (!file.open(QIODevice::ReadOnly) || !ChannelCsv::read(file.readAll(), &kept, &error))
        return { false, QStringLiteral("不能读取 %1：%2").arg(sideName, error.isEmpty() ? file.errorString() : error) };
    file.close();
    QStringList unplaced;
    for (const QVariantList &values : std::as_const(kept.rows)) {
        const int row = rowWithRecord(model, values.at(0));
        if (row < 0) {
            unplaced << FieldValue::fieldText(values.at(0));
            continue;
        }
        for (int column = 0; column < ChannelRow::fieldCount; ++column)
            if (FieldValue::fieldText(values.at(column)) != FieldValue::fieldText(model.rowAt(row)->values[column]))
                editor.editCell(row, column, FieldValue::fieldText(values.at(column)));
    }
    if (!unplaced.isEmpty())
        return { false, QStringLiteral("记录编号 %1 在 %2 中找不到唯一的一行，这些修改仍保存在 %3。")
                                .arg(unplaced.join(QStringLiteral("、")), model.fileName(), sideName) };
    if (model.unsavedCount() > 0)
        return { false, QStringLiteral("%1 仍不能写入：%2\n这些修改仍保存在 %3。")
                                .arg(model.fileName(), model.saveError(), sideName) };
    QFile::remove(side);
    return { true, QStringLiteral("已把 %1 行修改写入 %2。").arg(kept.rows.size()).arg(model.fileName()) };
}

} // namespace UnsavedEdits
