#include "ChangeWriter.h"

#include "ChannelDatabase.h"
#include "FieldValue.h"

#include <QSet>

#include <algorithm>

ChangeWriter::ChangeWriter(ChannelDatabase &db, const QVector<ChannelRow> &rows, bool complete,
                           const QString &fileName)
    : m_db(db)
    , m_rows(rows)
    , m_complete(complete)
    , m_fileName(fileName)
{
}

bool ChangeWriter::write(RowChange &change, bool forward, bool checked, QString *conflict, QVector<qint64> *keys)
{
    conflict->clear();
    bool written = m_db.begin();
    if (written && checked)
        written = fileAsShown(change, forward, conflict) && conflict->isEmpty();
    written = written && (forward ? writeForward(change, keys) : writeBackward(change)) && m_db.commit();
    if (!written)
        m_db.rollback();
    return written;
}

bool ChangeWriter::writeForward(RowChange &change, QVector<qint64> *keys)
{
    for (const RowChange::Cell &cell : std::as_const(change.cells))
        if (!m_db.update(key(cell.row), cell.column, cell.after))
            return false;
    if (!change.order.isEmpty() && !m_db.updateRows(reordered(change, true)))
        return false;
    for (const auto &[a, b] : std::as_const(change.swaps))
        if (!m_db.swapKeys(key(a), key(b)))
            return false;
    change.removedRows.clear();
    for (int row : std::as_const(change.removed)) {
        change.removedRows << m_rows.at(row);
        if (!m_db.remove(key(row)))
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

bool ChangeWriter::writeBackward(const RowChange &change)
{
    if (change.insertAt >= 0) {
        for (int i = 0; i < change.inserted.size(); ++i)
            if (!m_db.remove(key(change.insertAt + i)))
                return false;
        if (change.gapBy && !m_db.shiftKeys(change.gapFrom + change.gapBy, change.gapTo + change.gapBy, -change.gapBy))
            return false;
    }
    for (const ChannelRow &row : change.removedRows)
        if (!m_db.insert(row.key, row.values))
            return false;
    for (auto swap = change.swaps.crbegin(); swap != change.swaps.crend(); ++swap)
        if (!m_db.swapKeys(key(swap->first), key(swap->second)))
            return false;
    if (!change.order.isEmpty() && !m_db.updateRows(reordered(change, false)))
        return false;
    for (const RowChange::Cell &cell : change.cells)
        if (!m_db.update(key(cell.row), cell.column, cell.before))
            return false;
    return true;
}

// The rows an order moves, each under its key with the values it takes: done,
// row i takes what row order[i] shows; undone, row order[i] gets back what
// row i shows now.
QVector<ChannelRow> ChangeWriter::reordered(const RowChange &change, bool forward) const
{
    QVector<ChannelRow> rows;
    for (int i = 0; i < change.order.size(); ++i) {
        const int from = change.order.at(i);
        if (from == i)
            continue;
        ChannelRow row;
        row.key = key(forward ? i : from);
        row.values = m_rows.at(forward ? from : i).values;
        rows << row;
    }
    return rows;
}

// Keys for the inserted rows between their neighbours' keys; when there is no
// room, the rows on the shorter side move aside to make some.
bool ChangeWriter::allocateKeys(RowChange &change, QVector<qint64> *keys)
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
        const qint64 next = key(at);
        const qint64 low = at > 0 ? key(at - 1) + 1 : next - count;
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

// The rows a change moves or removes, which must be in the file whole, as
// shown; ascending, so the first difference told is the one highest in the table.
QList<int> ChangeWriter::wholeRows(const RowChange &change, bool forward) const
{
    QSet<int> rows;
    for (const auto &[a, b] : change.swaps)
        rows << a << b;
    for (int i = 0; i < change.order.size(); ++i)
        if (change.order.at(i) != i)
            rows << i;
    if (forward)
        for (int row : change.removed)
            rows << row;
    if (!forward && change.insertAt >= 0)
        for (int i = 0; i < change.inserted.size(); ++i)
            rows << change.insertAt + i;
    QList<int> sorted = rows.values();
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

// Many rows to look at are read in one statement rather than one each: a
// sort or a fill over the whole table looks at every row.
bool ChangeWriter::readAhead(int first, int last)
{
    m_ahead.clear();
    last = std::min(last, int(m_rows.size()) - 1);
    if (last - first < 16)
        return true;
    const int limit = 2 * (last - first + 1);
    if (!m_db.rowsAfter(key(first) - 1, limit, &m_ahead))
        return false;
    // Another program added so many rows in between that the page stops short:
    // each row is looked up on its own.
    m_readAhead = m_ahead.size() < limit || m_ahead.last().key >= key(last);
    return true;
}

bool ChangeWriter::fileRow(int row, ChannelRow *file, bool *found)
{
    if (!m_readAhead)
        return m_db.rowByKey(key(row), file, found);
    // Read in key order: found by halving.
    const auto at = std::lower_bound(m_ahead.cbegin(), m_ahead.cend(), key(row),
                                     [](const ChannelRow &ahead, qint64 wanted) { return ahead.key < wanted; });
    *found = at != m_ahead.cend() && at->key == key(row);
    if (*found)
        *file = *at;
    return true;
}

// Each cell the change replaces must hold what the grid showed; each row it
// moves or removes must be there whole, as shown.
bool ChangeWriter::fileAsShown(const RowChange &change, bool forward, QString *conflict)
{
    struct Expected
    {
        int row;
        int column;   // -1: the whole row
        QVariant shown;
        QVariant mine;
    };
    QVector<Expected> expected;
    expected.reserve(change.cells.size());
    int top = int(m_rows.size()), bottom = -1;
    for (const RowChange::Cell &cell : change.cells)
        expected.append({ cell.row, cell.column, forward ? cell.before : cell.after,
                          forward ? cell.after : cell.before });
    for (int row : wholeRows(change, forward))
        expected.append({ row, -1, {}, {} });
    for (const Expected &cell : std::as_const(expected)) {
        top = std::min(top, cell.row);
        bottom = std::max(bottom, cell.row);
    }
    if (!readAhead(top, bottom))
        return false;

    int differing = 0;
    for (const Expected &cell : std::as_const(expected)) {
        if (cell.row >= m_rows.size())
            continue;
        ChannelRow file;
        bool found = false;
        if (!fileRow(cell.row, &file, &found))
            return false;
        const int first = cell.column < 0 ? 0 : cell.column;
        const int last = cell.column < 0 ? ChannelRow::fieldCount - 1 : cell.column;
        for (int column = first; column <= last; ++column) {
            const QVariant shown = cell.column < 0 ? m_rows.at(cell.row).values[column] : cell.shown;
            const QVariant &held = file.values[column];
            // Equal values of one kind need no text form: a fill of 10 000 cells checks as many.
            if (found && ((held.typeId() == shown.typeId() && held == shown) || FieldValue::sameValue(held, shown)))
                continue;
            if (differing++ == 0) {
                const QVariant mine = cell.column < 0 ? shown : cell.mine;
                *conflict = found ? describe(cell.row, column, file.values[column], mine)
                                  : QStringLiteral("第 %1 行已被其他程序删除。").arg(cell.row + 1);
            }
            if (!found)
                break;
        }
    }
    if (differing == 0)
        return true;
    *conflict = QStringLiteral("%1 已被其他程序修改，没有写入。\n%2").arg(m_fileName, *conflict);
    if (differing > 1)
        *conflict += QStringLiteral("\n另有 %1 处也已不同。").arg(differing - 1);
    return true;
}

QString ChangeWriter::describe(int row, int column, const QVariant &file, const QVariant &mine) const
{
    return QStringLiteral("第 %1 行“%2”：文件中的值为“%3”，您的值为“%4”。")
            .arg(row + 1)
            .arg(ChannelFields::caption(column), FieldValue::fieldText(file), FieldValue::fieldText(mine));
}
