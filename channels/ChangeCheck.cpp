#include "ChangeCheck.h"

#include "ChannelDatabase.h"
#include "FieldValue.h"

#include <algorithm>

ChangeCheck::ChangeCheck(FileRows &file, const QString &fileName)
    : m_file(file)
    , m_fileName(fileName)
    , m_top(int(file.loaded.size()))
{
}

void ChangeCheck::cell(int row, int column, const QVariant &shown, const QVariant &mine)
{
    m_expected.append({ row, column, shown, mine });
    m_top = std::min(m_top, row);
    m_bottom = std::max(m_bottom, row);
}

void ChangeCheck::wholeRow(int row)
{
    cell(row, -1, {}, {});
}

// Many rows to look at are read in one statement rather than one each: a
// sort or a fill over the whole table looks at every row.
bool ChangeCheck::readAhead()
{
    const int last = std::min(m_bottom, int(m_file.loaded.size()) - 1);
    if (last - m_top < 16)
        return true;
    const int limit = 2 * (last - m_top + 1);
    if (!m_file.db.rowsAfter(m_file.key(m_top) - 1, limit, &m_ahead))
        return false;
    // Another program added so many rows in between that the page stops short:
    // each row is looked up on its own.
    m_readAhead = m_ahead.size() < limit || m_ahead.last().key >= m_file.key(last);
    return true;
}

bool ChangeCheck::fileRow(int row, ChannelRow *file, bool *found)
{
    if (!m_readAhead)
        return m_file.db.rowByKey(m_file.key(row), file, found);
    // Read in key order: found by halving.
    const auto at = std::lower_bound(m_ahead.cbegin(), m_ahead.cend(), m_file.key(row),
                                     [](const ChannelRow &ahead, qint64 wanted) { return ahead.key < wanted; });
    *found = at != m_ahead.cend() && at->key == m_file.key(row);
    if (*found)
        *file = *at;
    return true;
}

bool ChangeCheck::run(QString *conflict)
{
    conflict->clear();
    if (!readAhead())
        return false;
    const QVector<ChannelRow> &loaded = m_file.loaded;
    int differing = 0;
    for (const Expected &cell : std::as_const(m_expected)) {
        if (cell.row >= loaded.size())
            continue;
        ChannelRow file;
        bool found = false;
        if (!fileRow(cell.row, &file, &found))
            return false;
        const int first = cell.column < 0 ? 0 : cell.column;
        const int last = cell.column < 0 ? ChannelRow::fieldCount - 1 : cell.column;
        for (int column = first; column <= last; ++column) {
            const QVariant shown = cell.column < 0 ? loaded.at(cell.row).values[column] : cell.shown;
            const QVariant &held = file.values[column];
            // Equal values of one kind need no text form: a fill of 10 000 cells checks as many.
            if (found && ((held.typeId() == shown.typeId() && held == shown) || FieldValue::sameValue(held, shown)))
                continue;
            if (differing++ == 0) {
                const QVariant mine = cell.column < 0 ? shown : cell.mine;
                *conflict = found ? describe(cell.row, column, held, mine)
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

QString ChangeCheck::describe(int row, int column, const QVariant &file, const QVariant &mine) const
{
    return QStringLiteral("第 %1 行“%2”：文件中的值为“%3”，您的值为“%4”。")
            .arg(row + 1)
            .arg(ChannelFields::caption(column), FieldValue::fieldText(file), FieldValue::fieldText(mine));
}
