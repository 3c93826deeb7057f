#include "RemoveChange.h"

#include "ChangeCheck.h"
#include "ChannelDatabase.h"
#include "LoadedRows.h"

void RemoveChange::expect(ChangeCheck &check, bool forward) const
{
    if (forward)
        for (int row : m_positions)
            check.wholeRow(row);
}

bool RemoveChange::write(FileRows &file, bool forward)
{
    if (!forward) {
        for (const ChannelRow &row : std::as_const(m_removed))
            if (!file.db.insert(row.key, row.values))
                return false;
        return true;
    }
    m_removed.clear();
    for (int row : std::as_const(m_positions)) {
        m_removed << file.loaded.at(row);
        if (!file.db.remove(file.key(row)))
            return false;
    }
    return true;
}

void RemoveChange::show(LoadedRows &rows, bool forward) const
{
    if (forward) {
        rows.removeLoaded(m_positions);
        return;
    }
    for (int i = 0; i < m_removed.size(); ++i)
        rows.insertLoaded(m_positions.at(i), { m_removed.at(i) });
}
