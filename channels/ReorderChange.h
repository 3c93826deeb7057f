#pragma once

#include "RowChange.h"

#include <QVector>

// The rows' values in a new order under keys left in place, so that the
// file's own order, and with it which rows a transfer sends, is the new one.
// Done, row i takes the values row order[i] had; every row that moves must be
// in the file whole, as shown.
class ReorderChange : public RowChange
{
public:
    explicit ReorderChange(QVector<int> order)
        : m_order(std::move(order))
    {
    }

    void expect(ChangeCheck &check, bool forward) const override;
    bool write(FileRows &file, bool forward) override;
    void show(LoadedRows &rows, bool forward) const override;
    bool touchesKey(int) const override { return true; }
    // The rows that move.
    int count() const override;

private:
    QVector<int> m_order;
};
