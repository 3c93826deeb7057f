#include "ReorderChange.h"

#include "ChangeCheck.h"
#include "ChannelDatabase.h"
#include "LoadedRows.h"

void ReorderChange::expect(ChangeCheck &check, bool) const
{
    for (int i = 0; i < m_order.size(); ++i)
        if (m_order.at(i) != i)
            check.wholeRow(i);
}

// Only the rows that move are written, each under its key with the values it
// takes: done, row i takes what row order[i] shows; undone, row order[i] gets
// back what row i shows now.
bool ReorderChange::write(FileRows &file, bool forward)
{
    QVector<ChannelRow> rows;
    for (int i = 0; i < m_order.size(); ++i) {
        const int from = m_order.at(i);
        if (from == i)
            continue;
        ChannelRow row;
        row.key = file.key(forward ? i : from);
        row.values = file.loaded.at(forward ? from : i).values;
        rows << row;
    }
    return file.db.updateRows(rows);
}

void ReorderChange::show(LoadedRows &rows, bool forward) const
{
    QVector<ChannelRow> &loaded = rows.loaded();
    QVector<ChannelRow::Values> before(m_order.size());
    for (int i = 0; i < m_order.size(); ++i)
        before[i] = loaded.at(i).values;
    for (int i = 0; i < m_order.size(); ++i)
        loaded[forward ? i : m_order.at(i)].values = before.at(forward ? m_order.at(i) : i);
    rows.rowsChanged(0, int(loaded.size()) - 1);
}

int ReorderChange::count() const
{
    int moved = 0;
    for (int i = 0; i < m_order.size(); ++i)
        moved += m_order.at(i) != i;
    return moved;
}
