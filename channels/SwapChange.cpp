#include "SwapChange.h"

#include "ChangeCheck.h"
#include "ChannelDatabase.h"
#include "LoadedRows.h"

#include <QSet>

#include <algorithm>

void SwapChange::expect(ChangeCheck &check, bool) const
{
    QSet<int> rows;
    for (const auto &[a, b] : m_swaps)
        rows << a << b;
    QList<int> sorted = rows.values();
    std::sort(sorted.begin(), sorted.end());
    for (int row : std::as_const(sorted))
        check.wholeRow(row);
}

bool SwapChange::write(FileRows &file, bool forward)
{
    for (int i = 0; i < m_swaps.size(); ++i) {
        const auto &[a, b] = m_swaps.at(forward ? i : m_swaps.size() - 1 - i);
        if (!file.db.swapKeys(file.key(a), file.key(b)))
            return false;
    }
    return true;
}

void SwapChange::show(LoadedRows &rows, bool forward) const
{
    QVector<ChannelRow> &loaded = rows.loaded();
    for (int i = 0; i < m_swaps.size(); ++i) {
        const auto &[a, b] = m_swaps.at(forward ? i : m_swaps.size() - 1 - i);
        std::swap(loaded[a].values, loaded[b].values);
        rows.rowsChanged(std::min(a, b), std::max(a, b));
    }
}
