#include "InsertChange.h"

#include "ChangeCheck.h"
#include "ChannelDatabase.h"
#include "LoadedRows.h"

#include <limits>
#include <numeric>

void InsertChange::expect(ChangeCheck &check, bool forward) const
{
    if (!forward)
        for (int i = 0; i < m_rows.size(); ++i)
            check.wholeRow(m_at + i);
}

bool InsertChange::write(FileRows &file, bool forward)
{
    if (!forward) {
        for (int i = 0; i < m_rows.size(); ++i)
            if (!file.db.remove(file.key(m_at + i)))
                return false;
        return !m_gapBy || file.db.shiftKeys(m_gapFrom + m_gapBy, m_gapTo + m_gapBy, -m_gapBy);
    }
    if (!makeRoom(file))
        return false;
    for (int i = 0; i < m_keys.size(); ++i)
        if (!file.db.insert(m_keys.at(i), m_rows.at(i)))
            return false;
    return true;
}

// Keys for the new rows between their neighbours' keys; when there is no
// room, the rows on the shorter side move aside to make some.
bool InsertChange::makeRoom(FileRows &file)
{
    const qint64 count = m_rows.size();
    qint64 first = 0;
    m_gapBy = 0;
    if (m_at >= file.loaded.size()) {
        if (!file.db.largestKey(&first))
            return false;
        ++first;
    } else {
        const qint64 next = file.key(m_at);
        const qint64 low = m_at > 0 ? file.key(m_at - 1) + 1 : next - count;
        first = next - count;
        if (next - low < count) {
            const qint64 below = file.complete ? file.loaded.size() - m_at : std::numeric_limits<qint64>::max();
            if (m_at < below) {
                m_gapFrom = std::numeric_limits<qint64>::min() + count;
                m_gapTo = low - 1;
                m_gapBy = -count;
                first = low - count;
            } else {
                m_gapFrom = next;
                m_gapTo = std::numeric_limits<qint64>::max() - count;
                m_gapBy = count;
                first = next;
            }
            if (!file.db.shiftKeys(m_gapFrom, m_gapTo, m_gapBy))
                return false;
        }
    }
    m_keys.resize(count);
    std::iota(m_keys.begin(), m_keys.end(), first);
    return true;
}

void InsertChange::show(LoadedRows &rows, bool forward) const
{
    if (!forward) {
        QVector<int> positions(m_rows.size());
        std::iota(positions.begin(), positions.end(), m_at);
        rows.removeLoaded(positions);
        shiftLoaded(rows.loaded(), false);
        return;
    }
    shiftLoaded(rows.loaded(), true);
    QVector<ChannelRow> added(m_keys.size());
    for (int i = 0; i < m_keys.size(); ++i) {
        added[i].key = m_keys.at(i);
        added[i].values = m_rows.at(i);
    }
    rows.insertLoaded(m_at, added);
}

// The keys of the rows that moved aside; the views show no key, so nothing is announced.
void InsertChange::shiftLoaded(QVector<ChannelRow> &loaded, bool forward) const
{
    if (!m_gapBy)
        return;
    const qint64 from = forward ? m_gapFrom : m_gapFrom + m_gapBy;
    const qint64 to = forward ? m_gapTo : m_gapTo + m_gapBy;
    const qint64 by = forward ? m_gapBy : -m_gapBy;
    for (ChannelRow &row : loaded)
        if (row.key >= from && row.key <= to)
            row.key += by;
}
