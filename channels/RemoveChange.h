#pragma once

#include "ChannelRow.h"
#include "RowChange.h"

#include <QVector>

// Rows out of the file, each of which must be there whole, as shown. Their
// keys and values are kept as they go, so that undone they come back under
// their old keys and the file is as it was.
class RemoveChange : public RowChange
{
public:
    // `positions` ascending.
    explicit RemoveChange(QVector<int> positions)
        : m_positions(std::move(positions))
    {
    }

    void expect(ChangeCheck &check, bool forward) const override;
    bool write(FileRows &file, bool forward) override;
    void show(LoadedRows &rows, bool forward) const override;
    // Removing rows leaves the others in their order.
    bool touchesKey(int) const override { return false; }
    int count() const override { return int(m_positions.size()); }

private:
    QVector<int> m_positions;
    QVector<ChannelRow> m_removed;
};
