#pragma once

#include "RowChange.h"

#include <QVariant>
#include <QVector>

// Cells of loaded rows from one value to another: typed, cleared, pasted
// over, filled, computed, replaced. Checked cell by cell, so that an edit goes
// through while another program changes other cells of the same row.
class CellsChange : public RowChange
{
public:
    struct Cell
    {
        int row;
        int column;
        QVariant before;
        QVariant after;
    };

    explicit CellsChange(QVector<Cell> cells)
        : m_cells(std::move(cells))
    {
    }

    void expect(ChangeCheck &check, bool forward) const override;
    bool write(FileRows &file, bool forward) override;
    void show(LoadedRows &rows, bool forward) const override;
    bool touchesKey(int keyField) const override;
    int count() const override { return int(m_cells.size()); }

private:
    QVector<Cell> m_cells;
};
