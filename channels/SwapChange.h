#pragma once

#include "RowChange.h"

#include <QVector>
#include <utility>

// Neighbouring rows that trade values, pair after pair, keys left in place:
// how 上移 and 下移 move a block of rows past its neighbour. Undone, the
// pairs trade back the other way round.
class SwapChange : public RowChange
{
public:
    explicit SwapChange(QVector<std::pair<int, int>> swaps)
        : m_swaps(std::move(swaps))
    {
    }

    // Each row once, ascending, so the first difference told is the highest in the table.
    void expect(ChangeCheck &check, bool forward) const override;
    bool write(FileRows &file, bool forward) override;
    void show(LoadedRows &rows, bool forward) const override;
    bool touchesKey(int) const override { return true; }
    int count() const override { return int(m_swaps.size()); }

private:
    QVector<std::pair<int, int>> m_swaps;
};
