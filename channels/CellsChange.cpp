#include "CellsChange.h"

#include "ChangeCheck.h"
#include "ChannelDatabase.h"
#include "LoadedRows.h"

#include <algorithm>

void CellsChange::expect(ChangeCheck &check, bool forward) const
{
    check.reserve(m_cells.size());
    for (const Cell &cell : m_cells)
        check.cell(cell.row, cell.column, forward ? cell.before : cell.after, forward ? cell.after : cell.before);
}

bool CellsChange::write(FileRows &file, bool forward)
{
    for (const Cell &cell : std::as_const(m_cells))
        if (!file.db.update(file.key(cell.row), cell.column, forward ? cell.after : cell.before))
            return false;
    return true;
}

void CellsChange::show(LoadedRows &rows, bool forward) const
{
    if (m_cells.isEmpty())
        return;
    QVector<ChannelRow> &loaded = rows.loaded();
    int first = int(loaded.size());
    int last = -1;
    for (const Cell &cell : m_cells) {
        loaded[cell.row].values[cell.column] = forward ? cell.after : cell.before;
        first = std::min(first, cell.row);
        last = std::max(last, cell.row);
    }
    rows.rowsChanged(first, last);
}

bool CellsChange::touchesKey(int keyField) const
{
    return std::any_of(m_cells.cbegin(), m_cells.cend(), [keyField](const Cell &cell) { return cell.column == keyField; });
}
