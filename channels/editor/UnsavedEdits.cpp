#include "UnsavedEdits.h"

#include "ChannelCsv.h"
#include "ChannelEditor.h"
#include "ChannelStore.h"
#include "Csv.h"
#include "FieldValue.h"
#include "SystemCause.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>
#include <algorithm>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

namespace UnsavedEdits {

namespace {

struct Cell
{
    QVariant record;
    int field = 0;
    QVariant before;
    QVariant value;
    bool beforeKnown = true;   // false for whole rows kept by earlier versions
};

const QStringList cellHeader = { QStringLiteral("记录编号"), QStringLiteral("字段"), QStringLiteral("原值"),
                                 QStringLiteral("新值") };


// Unquoted and not empty is a number in any field, the remark included: a
// remark another program stored as a number must come back as one.
bool readValue(const Csv::Record &record, int at, QVariant *value)
{
    const QString &text = record.fields.at(at);
    if (record.quoted.at(at))
        *value = text;
    else if (text.trimmed().isEmpty())
        *value = QVariant();
    else
        *value = FieldValue::fromInput(ChannelFields::Record, text);
    return value->typeId() != QMetaType::QString || record.quoted.at(at);
}

QByteArray writeCells(const QVector<Cell> &cells)
{
    QString text = QChar(0xFEFF) + Csv::line(cellHeader);
    for (const Cell &cell : cells)
        text += Csv::line({ ChannelCsv::value(cell.record), Csv::field(ChannelFields::name(cell.field), true),
                            ChannelCsv::value(cell.before), ChannelCsv::value(cell.value) });
    return text.toUtf8();
}

bool readCells(const QByteArray &bytes, QVector<Cell> *cells, QString *error)
{
    QVector<Csv::Record> records;
    if (!Csv::parse(bytes, &records, error))
        return false;
    if (!records.isEmpty() && records.first().fields == ChannelCsv::header()) {
        ImportedRows rows;
        if (!ChannelCsv::read(bytes, &rows, error))
            return false;
        for (const QVariantList &row : std::as_const(rows.rows))
            for (int field = 0; field < ChannelRow::fieldCount; ++field)
                cells->append({ row.at(0), field, QVariant(), row.at(field), false });
        return true;
    }
    if (records.isEmpty() || records.first().fields != cellHeader) {
        *error = QStringLiteral("第 1 行：表头应为 %1").arg(cellHeader.join(u','));
        return false;
    }
    for (int r = 1; r < records.size(); ++r) {
        const Csv::Record &record = records.at(r);
        Cell cell;
        cell.field = record.fields.size() == cellHeader.size() ? ChannelFields::names().indexOf(record.fields.at(1)) : -1;
        if (cell.field < 0 || !readValue(record, 0, &cell.record) || !readValue(record, 2, &cell.before)
            || !readValue(record, 3, &cell.value)) {
            *error = QStringLiteral("第 %1 行无法识别").arg(record.line);
            return false;
        }
        cells->append(cell);
    }
    return true;
}

// The record number that finds the row at the next start is the file's: an
// unsaved record number is not in it.
QVector<Cell> unsavedCells(ChannelStore &store)
{
    QVector<Cell> cells;
    for (int row : store.unsavedRows()) {
        const QHash<int, QVariant> unsaved = store.unsavedCells(row);
        const ChannelRow &values = *store.rowAt(row);
        const QVariant record = unsaved.value(ChannelFields::Record, values.values[ChannelFields::Record]);
        for (int field = 0; field < ChannelRow::fieldCount; ++field)
            if (unsaved.contains(field))
                cells.append({ record, field, unsaved.value(field), values.values[field] });
    }
    return cells;
}

bool syncDirectory(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    return synced;
}

// A full disk can let writing and even the rename succeed and still leave an
// empty file: only what reads back, after it is on the disk, counts as kept.
bool writeVerified(const QString &path, const QByteArray &bytes, QString *error)
{
    const QString folder = QFileInfo(path).absolutePath();
    QDir().mkpath(folder);
    QSaveFile file(path);
    QString cause;
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
        cause = file.errorString();
    else if (::fsync(file.handle()) != 0)   // before the rename, so a failure leaves any earlier side file
        cause = qt_error_string(errno);
    else if (!file.commit())
        cause = file.errorString();
    if (!cause.isEmpty()) {
        file.cancelWriting();
        *error = SystemCause::inChinese(cause);
        return false;
    }
    QFile back(path);
    const QByteArray stored = back.open(QIODevice::ReadOnly) ? back.readAll() : QByteArray();
    back.close();
    QVector<Cell> cells;
    QString unread;
    if (syncDirectory(folder) && QFileInfo(path).size() == bytes.size() && stored == bytes
        && readCells(stored, &cells, &unread) && writeCells(cells) == bytes)
        return true;
    QFile::remove(path);   // a damaged side file would be offered at the next start
    *error = QStringLiteral("写入后读回的内容不符");
    return false;
}

// The one row of the table with this record number, or -1.
int rowWithRecord(ChannelStore &store, const QVariant &record)
{
    int found = -1;
    const QString wanted = FieldValue::fieldText(record);
    for (int row = 0; const ChannelRow *values = store.rowAt(row); ++row) {
        if (FieldValue::isNull(record) || FieldValue::fieldText(values->values[0]) != wanted)
            continue;
        if (found >= 0)
            return -1;
        found = row;
    }
    return found;
}

QString quoted(const QVariant &value)
{
    return QStringLiteral("“%1”").arg(FieldValue::fieldText(value));
}

} // namespace

QString fileFor(const QString &database)
{
    return database + QStringLiteral(".unsaved.csv");
}

// Two plans of the same name in different folders must not share a side file.
QString stateFileFor(const QString &database)
{
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    const QFileInfo plan(database);
    const QString where = plan.canonicalFilePath().isEmpty() ? plan.absoluteFilePath() : plan.canonicalFilePath();
    const QByteArray hash = QCryptographicHash::hash(where.toUtf8(), QCryptographicHash::Sha256).toHex().left(8);
    return QStringLiteral("%1/qt7020/%2-%3.unsaved.csv").arg(state, plan.fileName(), QString::fromLatin1(hash));
}

QStringList keptFiles(const QString &database)
{
    QStringList found;
    for (const QString &side : { fileFor(database), stateFileFor(database) })
        if (QFileInfo(side).isFile())
            found << side;
    std::sort(found.begin(), found.end(), [](const QString &a, const QString &b) {
        return QFileInfo(a).lastModified() < QFileInfo(b).lastModified();
    });
    return found;
}

QString shownName(const QString &side, const QString &database)
{
    const QFileInfo file(side);
    return file.absolutePath() == QFileInfo(database).absolutePath() ? file.fileName()
                                                                     : QDir::toNativeSeparators(file.absoluteFilePath());
}

ChannelExchange::Outcome writeSideFile(ChannelStore &store)
{
    if (store.unsavedCount() == 0 || store.writeUnsaved() == ChannelStore::Outcome::Written)
        return { true, QString() };
    const QVector<Cell> cells = unsavedCells(store);
    const QByteArray bytes = writeCells(cells);
    const QString unsaved = QStringLiteral("有 %1 处修改未能保存到 %2").arg(cells.size()).arg(store.fileName());
    QStringList causes;
    for (const QString &side : { fileFor(store.path()), stateFileFor(store.path()) }) {
        QString cause;
        if (writeVerified(side, bytes, &cause))
            return { true, QStringLiteral("%1，已另存在 %2。").arg(unsaved, shownName(side, store.path())) };
        causes << QStringLiteral("%1：%2").arg(QDir::toNativeSeparators(side), cause);
    }
    return { false, QStringLiteral("%1，也不能另存（%2），这些修改已丢失。").arg(unsaved, causes.join(QStringLiteral("；"))) };
}

ChannelExchange::Outcome apply(ChannelEditor &editor, const QString &side, const Overwrite &overwrite)
{
    ChannelStore &store = *editor.store();
    const QString sideName = shownName(side, store.path());
    QFile file(side);
    QVector<Cell> kept;
    QString error;
    if (!file.open(QIODevice::ReadOnly) || !readCells(file.readAll(), &kept, &error))
        return { false, QStringLiteral("不能读取 %1：%2").arg(sideName, error.isEmpty() ? file.errorString() : error) };
    file.close();

    // Rows are found before anything is written: a kept record number may be among the writes.
    QStringList unplaced;
    QVector<std::pair<int, Cell>> toWrite, changed;
    for (const Cell &cell : std::as_const(kept)) {
        const int row = rowWithRecord(store, cell.record);
        if (row < 0) {
            if (!unplaced.contains(FieldValue::fieldText(cell.record)))
                unplaced << FieldValue::fieldText(cell.record);
            continue;
        }
        const QVariant &now = store.rowAt(row)->values[cell.field];
        if (FieldValue::sameValue(now, cell.value))
            continue;
        (!cell.beforeKnown || FieldValue::sameValue(now, cell.before) ? toWrite : changed) << std::pair(row, cell);
    }
    if (!changed.isEmpty()) {
        QStringList lines;
        for (const auto &[row, cell] : std::as_const(changed))
            lines << QStringLiteral("第 %1 行“%2”：文件中现为%3，保存的修改为%4")
                             .arg(row + 1)
                             .arg(ChannelFields::caption(cell.field), quoted(store.rowAt(row)->values[cell.field]),
                                  quoted(cell.value));
        if (overwrite(lines))
            toWrite += std::exchange(changed, {});
    }
    int notWritten = 0;
    for (const auto &[row, cell] : std::as_const(toWrite))
        notWritten += editor.editCell(row, cell.field, FieldValue::fieldText(cell.value)) ? 0 : 1;

    if (!unplaced.isEmpty())
        return { false, QStringLiteral("记录编号 %1 在 %2 中找不到唯一的一行，这些修改仍保存在 %3。")
                                .arg(unplaced.join(QStringLiteral("、")), store.fileName(), sideName) };
    if (store.unsavedCount() > 0)
        return { false, QStringLiteral("%1 仍不能写入：%2\n这些修改仍保存在 %3。")
                                .arg(store.fileName(), store.saveError(), sideName) };
    if (notWritten > 0)
        return { false, QStringLiteral("有 %1 处修改没有写入 %2，这些修改仍保存在 %3。")
                                .arg(notWritten).arg(store.fileName(), sideName) };
    QFile::remove(side);
    QString done = toWrite.isEmpty() ? QStringLiteral("%1 中已有保存的修改。").arg(store.fileName())
                                     : QStringLiteral("已把 %1 处修改写入 %2。").arg(toWrite.size()).arg(store.fileName());
    if (!changed.isEmpty())
        done += QStringLiteral("%1 处保留了文件中的值。").arg(changed.size());
    return { true, done };
}

} // namespace UnsavedEdits
