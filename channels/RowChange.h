#pragma once

#include "ChannelRow.h"

#include <QVector>
#include <utility>

// One undo step of the grid, as positions and values. Done in the order cells,
// order, swaps, removals, insertion and undone the other way round; each
// command uses what it needs of these.
struct RowChange
{
    struct Cell
    {
        int row;
        int column;
        QVariant before;
        QVariant after;
    };
    using Values = std::array<QVariant, ChannelRow::fieldCount>;

    QVector<Cell> cells;
    // The rows in a new order, keys left in place: done, row i takes the values
    // row order[i] had. Empty when the command keeps the order.
    QVector<int> order;
    QVector<std::pair<int, int>> swaps;   // neighbouring rows that trade places
    QVector<int> removed;                 // positions, ascending
    QVector<ChannelRow> removedRows;      // their keys and values, kept when removed
    int insertAt = -1;
    QVector<Values> inserted;
    // Keys from gapFrom to gapTo moved gapBy on to make room for the insertion,
    // given back when it is undone.
    qint64 gapFrom = 0;
    qint64 gapTo = 0;
    qint64 gapBy = 0;

    // Puts `order` on `rows` (undone, takes it off): the keys stay where they
    // are and the values move. False when the change keeps the order.
    bool reorder(QVector<ChannelRow> &rows, bool forward) const
    {
        if (order.isEmpty())
            return false;
        QVector<Values> before(order.size());
        for (int i = 0; i < order.size(); ++i)
            before[i] = rows.at(i).values;
        for (int i = 0; i < order.size(); ++i)
            rows[forward ? i : order.at(i)].values = before.at(forward ? order.at(i) : i);
        return true;
    }
};
