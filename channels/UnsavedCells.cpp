#include "UnsavedCells.h"

void UnsavedCells::mark(qint64 key, int column, const QVariant &before)
{
    QHash<int, QVariant> &cells = m_cells[key];
    if (!cells.contains(column))
        cells.insert(column, before);
}

void UnsavedCells::drop(qint64 key, int column)
{
    auto cells = m_cells.find(key);
    if (cells != m_cells.end() && cells->remove(column) && cells->isEmpty())
        m_cells.erase(cells);
}

int UnsavedCells::count() const
{
    int count = 0;
    for (const QHash<int, QVariant> &cells : m_cells)
        count += int(cells.size());
    return count;
}
