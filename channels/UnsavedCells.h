#pragma once

#include <QHash>
#include <QList>
#include <QVariant>

// Cells whose edit the file refused: for each, the value the edit replaced,
// which is what writing it later must find in the file. Kept by row key, so
// they stay with their rows when other programs add or remove some.
class UnsavedCells
{
public:
    void mark(qint64 key, int column, const QVariant &before);
    bool contains(qint64 key, int column) const { return m_cells.value(key).contains(column); }
    bool containsRow(qint64 key) const { return m_cells.contains(key); }
    // Column → replaced value of one row's unsaved cells.
    QHash<int, QVariant> ofRow(qint64 key) const { return m_cells.value(key); }
    void drop(qint64 key, int column);
    // Forgets a row that is gone; how many cells it held.
    int dropRow(qint64 key) { return int(m_cells.take(key).size()); }
    void clear() { m_cells.clear(); }
    int count() const;
    int rowCount() const { return int(m_cells.size()); }

private:
    QHash<qint64, QHash<int, QVariant>> m_cells;
};
