#include "CellSearch.h"

#include "ChannelStore.h"
#include "FieldValue.h"

CellSearch::CellSearch(const QString &text, bool matchCase, bool wholeCell)
    : m_text(text)
    , m_case(matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive)
    , m_wholeCell(wholeCell)
{
}

bool CellSearch::matches(const QString &shown) const
{
    if (m_text.isEmpty())
        return false;
    return m_wholeCell ? shown.compare(m_text, m_case) == 0 : shown.contains(m_text, m_case);
}

QString CellSearch::replaced(const QString &shown, const QString &with) const
{
    if (!matches(shown))
        return shown;
    return m_wholeCell ? with : QString(shown).replace(m_text, with, m_case);
}

QPair<int, int> CellSearch::next(ChannelStore &store, int row, int column) const
{
    store.fetchAll();
    const int rows = store.rowCount(), columns = ChannelRow::fieldCount;
    const int from = std::max(row, 0) * columns + std::max(column, -1);
    for (int step = 1; rows > 0 && step <= rows * columns; ++step) {
        const int cell = (from + step) % (rows * columns);
        if (matches(FieldValue::fieldText(store.rowAt(cell / columns)->values[cell % columns])))
            return { cell / columns, cell % columns };
    }
    return { -1, -1 };
}
