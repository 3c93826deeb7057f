// The row commands of ChannelModel and their undo: written to the file in one
// transaction first, shown in the grid only once the file has taken them.
#include "ChannelModel.h"

#include "FieldValue.h"

#include <algorithm>
#include <numeric>

namespace {

// A step of the history. Its redo() and undo() do nothing: the model writes the
// change itself and moves the history only when the file has taken it, so a
// refused undo leaves the history where it was.
class RowCommand : public QUndoCommand
{
public:
    RowCommand(const QString &text, RowChange change)
        : QUndoCommand(text)
        , change(std::move(change))
    {
    }
    RowChange change;
};

QList<int> sortedUnique(QList<int> rows)
{
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

} // namespace

QString ChannelModel::readOnlyMessage(const QString &fileName)
{
    return QStringLiteral("%1 是旧格式（Access）的信道文件，只能读取和传送，不能修改。\n"
                          "请先用“系统设置 → 转换为新格式…”转换。")
            .arg(fileName);
}

QString ChannelModel::refusal() const
{
    if (!m_open)
        return QStringLiteral("数据库未打开");
    if (m_readOnly)
        return readOnlyMessage(fileName());
    if (!m_stale.isEmpty())
        return m_stale;
    return m_busy;
}

void ChannelModel::fetchAll()
{
    while (canFetchMore())
        fetchMore();
}

QString ChannelModel::caption(int column) const
{
    return ChannelFields::caption(column);
}

bool ChannelModel::mayChange()
{
    const QString why = refusal();
    if (!why.isEmpty())
        emit refused(why);
    return why.isEmpty();
}

// A command moves rows and values under the cells still waiting to be
// written: they go to the file first, or the command waits.
bool ChannelModel::unsavedWritten(const QString &name)
{
    if (m_unsaved.isEmpty() || saveUnsaved())
        return true;
    if (m_conflict)
        return false;
    emit saveFailed(QStringLiteral("“%1”没有进行：先前的修改仍未能保存到 %2：%3")
                            .arg(name, fileName(), m_db.errorString()));
    return false;
}

// In a table keyed by one of the five fields, that field is the row's place:
// rows cannot be put elsewhere, nor the key changed under the grid.
QString ChannelModel::keyRefusal(const RowChange &change) const
{
    const int key = m_db.keyField();
    bool touchesKey = change.insertAt >= 0 || !change.swaps.isEmpty();
    for (const RowChange::Cell &cell : change.cells)
        touchesKey = touchesKey || cell.column == key;
    if (key < 0 || !touchesKey)
        return QString();
    return QStringLiteral("%1 的“%2”是主键，行的顺序由它决定：不能插入、复制或移动行，也不能修改该列。")
            .arg(fileName(), m_db.fieldNames().value(key));
}

bool ChannelModel::run(const QString &name, RowChange change)
{
    if (!mayChange() || !unsavedWritten(name))
        return false;
    const QString keyed = keyRefusal(change);
    if (!keyed.isEmpty()) {
        emit refused(keyed);
        return false;
    }
    if (!apply(change, true, name)) {
        if (!m_conflict)
            emit saveFailed(QStringLiteral("“%1”未能保存到 %2：%3\n信道表保持原样。")
                                    .arg(name, fileName(), m_db.errorString()));
        return false;
    }
    m_history.push(new RowCommand(name, std::move(change)));
    return true;
}

bool ChannelModel::undo()
{
    return replay(m_history.index() - 1, false);
}

bool ChannelModel::redo()
{
    return replay(m_history.index(), true);
}

bool ChannelModel::replay(int index, bool forward)
{
    if (index < 0 || index >= m_history.count() || !mayChange())
        return false;
    auto *command = const_cast<RowCommand *>(static_cast<const RowCommand *>(m_history.command(index)));
    const QString name = (forward ? QStringLiteral("重做%1") : QStringLiteral("撤销%1")).arg(command->text());
    if (!unsavedWritten(name))
        return false;
    if (!apply(command->change, forward, name, index)) {
        if (!m_conflict)
            emit saveFailed(QStringLiteral("“%1”未能保存到 %2：%3\n信道表保持原样。")
                                .arg(name, fileName(), m_db.errorString()));
        return false;
    }
    forward ? m_history.redo() : m_history.undo();
    return true;
}

bool ChannelModel::apply(RowChange &change, bool forward, const QString &name, int replayIndex)
{
    QVector<qint64> keys;
    QString conflict;
    // A stale grid writes nowhere: its connection holds the file that was replaced.
    bool written = m_stale.isEmpty() && m_db.begin();
    // Checked inside the transaction, so nobody can write between the look and the write.
    if (written && m_checking)
        written = fileAsShown(change, forward, &conflict) && conflict.isEmpty();
    written = written && (forward ? writeForward(change, &keys) : writeBackward(change)) && m_db.commit();
    if (!written) {
        m_db.rollback();
        if (!conflict.isEmpty()) {
            m_conflict = Conflict{ name, change, forward, replayIndex };
            emit conflicted(conflict);
        }
        return false;
    }
    forward ? showForward(change, keys) : showBackward(change);
    return true;
}

bool ChannelModel::writeForward(RowChange &change, QVector<qint64> *keys)
{
    for (const RowChange::Cell &cell : std::as_const(change.cells))
        if (!m_db.update(m_rows.at(cell.row).key, cell.column, cell.after))
            return false;
    for (const auto &[a, b] : std::as_const(change.swaps))
        if (!m_db.swapKeys(m_rows.at(a).key, m_rows.at(b).key))
            return false;
    change.removedRows.clear();
    for (int row : std::as_const(change.removed)) {
        change.removedRows << m_rows.at(row);
        if (!m_db.remove(m_rows.at(row).key))
            return false;
    }
    if (change.insertAt < 0)
        return true;
    if (!allocateKeys(change, keys))
        return false;
    for (int i = 0; i < keys->size(); ++i)
        if (!m_db.insert(keys->at(i), change.inserted.at(i)))
            return false;
    return true;
}

bool ChannelModel::writeBackward(const RowChange &change)
{
    if (change.insertAt >= 0) {
        for (int i = 0; i < change.inserted.size(); ++i)
            if (!m_db.remove(m_rows.at(change.insertAt + i).key))
                return false;
        if (change.gapBy && !m_db.shiftKeys(change.gapFrom + change.gapBy, change.gapTo + change.gapBy, -change.gapBy))
            return false;
    }
    for (const ChannelRow &row : change.removedRows)
        if (!m_db.insert(row.key, row.values))
            return false;
    for (auto swap = change.swaps.crbegin(); swap != change.swaps.crend(); ++swap)
        if (!m_db.swapKeys(m_rows.at(swap->first).key, m_rows.at(swap->second).key))
            return false;
    for (const RowChange::Cell &cell : change.cells)
        if (!m_db.update(m_rows.at(cell.row).key, cell.column, cell.before))
            return false;
    return true;
}

// Keys for the inserted rows between their neighbours' keys; when there is no
// room, the rows on the shorter side move aside to make some.
bool ChannelModel::allocateKeys(RowChange &change, QVector<qint64> *keys)
{
    const qint64 count = change.inserted.size();
    const int at = change.insertAt;
    qint64 first = 0;
    change.gapBy = 0;
    if (at >= m_rows.size()) {
        if (!m_db.largestKey(&first))
            return false;
        ++first;
    } else {
        const qint64 next = m_rows.at(at).key;
        const qint64 low = at > 0 ? m_rows.at(at - 1).key + 1 : next - count;
        first = next - count;
        if (next - low < count) {
            const qint64 below = m_complete ? m_rows.size() - at : std::numeric_limits<qint64>::max();
            if (at < below) {
                change.gapFrom = std::numeric_limits<qint64>::min() + count;
                change.gapTo = low - 1;
                change.gapBy = -count;
                first = low - count;
            } else {
                change.gapFrom = next;
                change.gapTo = std::numeric_limits<qint64>::max() - count;
                change.gapBy = count;
                first = next;
            }
            if (!m_db.shiftKeys(change.gapFrom, change.gapTo, change.gapBy))
                return false;
        }
    }
    keys->clear();
    for (qint64 i = 0; i < count; ++i)
        keys->append(first + i);
    return true;
}

void ChannelModel::showForward(RowChange &change, const QVector<qint64> &keys)
{
    setCells(change, true);
    for (const auto &[a, b] : std::as_const(change.swaps))
        swapRows(a, b);
    removeLoaded(change.removed);
    if (change.insertAt < 0)
        return;
    if (change.gapBy)
        shiftLoadedKeys(change.gapFrom, change.gapTo, change.gapBy);
    QVector<ChannelRow> rows(keys.size());
    for (int i = 0; i < keys.size(); ++i) {
        rows[i].key = keys.at(i);
        rows[i].values = change.inserted.at(i);
    }
    insertLoaded(change.insertAt, rows);
}

void ChannelModel::showBackward(const RowChange &change)
{
    if (change.insertAt >= 0) {
        QVector<int> positions(change.inserted.size());
        std::iota(positions.begin(), positions.end(), change.insertAt);
        removeLoaded(positions);
        if (change.gapBy)
            shiftLoadedKeys(change.gapFrom + change.gapBy, change.gapTo + change.gapBy, -change.gapBy);
    }
    for (int i = 0; i < change.removedRows.size(); ++i)
        insertLoaded(change.removed.at(i), { change.removedRows.at(i) });
    for (auto swap = change.swaps.crbegin(); swap != change.swaps.crend(); ++swap)
        swapRows(swap->first, swap->second);
    setCells(change, false);
}

void ChannelModel::setCells(const RowChange &change, bool forward)
{
    if (change.cells.isEmpty())
        return;
    int first = m_rows.size();
    int last = -1;
    for (const RowChange::Cell &cell : change.cells) {
        m_rows[cell.row].values[cell.column] = forward ? cell.after : cell.before;
        first = std::min(first, cell.row);
        last = std::max(last, cell.row);
    }
    // One field can change the verdict on the whole row.
    emit dataChanged(index(first, 0), index(last, ChannelRow::fieldCount - 1));
    emit headerDataChanged(Qt::Vertical, first, last);
}

void ChannelModel::swapRows(int a, int b)
{
    std::swap(m_rows[a].values, m_rows[b].values);
    emit dataChanged(index(std::min(a, b), 0), index(std::max(a, b), ChannelRow::fieldCount - 1));
    emit headerDataChanged(Qt::Vertical, std::min(a, b), std::max(a, b));
}

void ChannelModel::shiftLoadedKeys(qint64 from, qint64 to, qint64 by)
{
    for (ChannelRow &row : m_rows)
        if (row.key >= from && row.key <= to)
            row.key += by;
}

void ChannelModel::insertLoaded(int at, const QVector<ChannelRow> &rows)
{
    if (rows.isEmpty())
        return;
    beginInsertRows({}, at, at + int(rows.size()) - 1);
    m_rows.insert(at, rows.size(), ChannelRow());
    std::copy(rows.begin(), rows.end(), m_rows.begin() + at);
    endInsertRows();
}

// `positions` ascending; removed from the last, a run of neighbours at a time.
void ChannelModel::removeLoaded(const QVector<int> &positions)
{
    int end = int(positions.size());
    while (end > 0) {
        int begin = end - 1;
        while (begin > 0 && positions.at(begin - 1) == positions.at(begin) - 1)
            --begin;
        const int first = positions.at(begin);
        const int last = positions.at(end - 1);
        beginRemoveRows({}, first, last);
        m_rows.remove(first, last - first + 1);
        endRemoveRows();
        end = begin;
    }
}

bool ChannelModel::nextRecordNumbers(int count, QVector<QVariant> *numbers)
{
    qint64 largest = 0;
    if (!m_db.largestRecordNumber(&largest)) {
        emit saveFailed(QStringLiteral("不能读取 %1：%2").arg(fileName(), m_db.errorString()));
        return false;
    }
    numbers->clear();
    for (int i = 1; i <= count; ++i)
        numbers->append(QVariant(largest + i));
    return true;
}

bool ChannelModel::insertRowAbove(int row)
{
    if (!mayChange())
        return false;
    row = std::clamp(row, 0, rowCount());
    if (!rowAt(row))
        fetchAll();
    QVector<QVariant> numbers;
    if (!nextRecordNumbers(1, &numbers))
        return false;
    RowChange change;
    change.insertAt = std::min(row, rowCount());
    change.inserted.resize(1);
    change.inserted[0][ChannelFields::Record] = numbers.at(0);
    return run(QStringLiteral("插入行"), change);
}

bool ChannelModel::duplicateRows(const QList<int> &selected)
{
    const QList<int> rows = sortedUnique(selected);
    if (rows.isEmpty() || rows.first() < 0 || rows.last() >= rowCount())
        return false;
    if (!mayChange())
        return false;
    if (!rowAt(rows.last() + 1))
        fetchAll();
    QVector<QVariant> numbers;
    if (!nextRecordNumbers(int(rows.size()), &numbers))
        return false;
    RowChange change;
    change.insertAt = rows.last() + 1;
    for (int i = 0; i < rows.size(); ++i) {
        RowChange::Values copy = m_rows.at(rows.at(i)).values;
        copy[ChannelFields::Record] = numbers.at(i);
        change.inserted << copy;
    }
    return run(QStringLiteral("复制行"), change);
}

bool ChannelModel::deleteRows(const QList<int> &selected)
{
    const QList<int> rows = sortedUnique(selected);
    if (rows.isEmpty() || rows.first() < 0 || rows.last() >= rowCount())
        return false;
    RowChange change;
    change.removed = QVector<int>(rows.begin(), rows.end());
    return run(QStringLiteral("删除行"), change);
}

bool ChannelModel::moveRowsBy(const QList<int> &selected, int step)
{
    const QList<int> rows = sortedUnique(selected);
    if (rows.isEmpty() || rows.first() < 0 || (step != 1 && step != -1))
        return false;
    if ((step < 0 && rows.first() == 0) || (step > 0 && !rowAt(rows.last() + 1)))
        return false;
    RowChange change;
    // Each row trades places with its neighbour, the leading row first, so a
    // block moves whole and the neighbour ends up on the other side of it.
    if (step < 0) {
        for (int row : rows)
            change.swaps.append({ row - 1, row });
    } else {
        for (auto row = rows.crbegin(); row != rows.crend(); ++row)
            change.swaps.append({ *row, *row + 1 });
    }
    return run(step < 0 ? QStringLiteral("上移行") : QStringLiteral("下移行"), change);
}

bool ChannelModel::clearCells(const QModelIndexList &cells)
{
    RowChange change;
    for (const QModelIndex &cell : cells) {
        if (!cell.isValid() || cell.row() >= m_rows.size())
            continue;
        const QVariant &before = m_rows.at(cell.row()).values[cell.column()];
        if (!FieldValue::isNull(before))
            change.cells.append({ cell.row(), cell.column(), before, QVariant() });
    }
    if (!mayChange())
        return false;
    return change.cells.isEmpty() || run(QStringLiteral("清除"), change);
}

bool ChannelModel::paste(int row, int column, const QVector<QStringList> &block, int *dropped)
{
    if (dropped)
        *dropped = 0;
    if (block.isEmpty() || row < 0 || column < 0 || column >= ChannelRow::fieldCount)
        return false;
    if (!mayChange())
        return false;
    if (!rowAt(row + int(block.size()) - 1))
        fetchAll();
    RowChange change;
    for (int i = 0; i < block.size(); ++i) {
        const int target = row + i;
        RowChange::Values added;
        for (int j = 0; j < block.at(i).size(); ++j) {
            const int field = column + j;
            if (field >= ChannelRow::fieldCount) {
                if (dropped)
                    *dropped = std::max(*dropped, int(block.at(i).size()) - j);
                break;
            }
            const QVariant value = FieldValue::fromInput(field, block.at(i).at(j));
            if (target < m_rows.size())
                change.cells.append({ target, field, m_rows.at(target).values[field], value });
            else
                added[field] = value;
        }
        if (target >= m_rows.size())
            change.inserted << added;
    }
    if (!change.inserted.isEmpty())
        change.insertAt = int(m_rows.size());
    return run(QStringLiteral("粘贴"), change);
}

bool ChannelModel::editCell(int row, int column, const QVariant &before, const QVariant &value)
{
    RowChange change;
    change.cells.append({ row, column, before, value });
    const QString name = QStringLiteral("修改“%1”").arg(caption(column));
    if (!apply(change, true, name))
        return false;
    m_history.push(new RowCommand(name, std::move(change)));
    return true;
}

bool ChannelModel::useMine()
{
    if (!m_conflict)
        return false;
    Conflict conflict = std::move(*m_conflict);
    m_conflict.reset();
    m_checking = false;
    bool written = false;
    if (conflict.replayIndex >= 0) {
        auto *command = const_cast<RowCommand *>(
                static_cast<const RowCommand *>(m_history.command(conflict.replayIndex)));
        written = command && apply(command->change, conflict.forward);
        if (written)
            conflict.forward ? m_history.redo() : m_history.undo();
    } else {
        written = apply(conflict.change, true);
        if (written)
            m_history.push(new RowCommand(conflict.name, std::move(conflict.change)));
    }
    m_checking = true;
    for (const RowChange::Cell &cell : std::as_const(conflict.change.cells))
        if (written)
            m_unsaved.remove(cellKey(cell.row, cell.column));
    if (!written)
        emit saveFailed(QStringLiteral("“%1”未能保存到 %2：%3\n信道表保持原样。")
                                .arg(conflict.name, fileName(), m_db.errorString()));
    // Whatever else the other program changed comes in now.
    m_version = -1;
    refresh();
    return written;
}
