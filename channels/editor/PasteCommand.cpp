#include "PasteCommand.h"

#include "ChannelStore.h"
#include "FieldValue.h"

#include <algorithm>

PasteCommand::PasteCommand(ChannelStore &store, int row, int column, const QVector<QStringList> &block)
    : RowCommand(QStringLiteral("粘贴"))
{
    if (!store.rowAt(row + int(block.size()) - 1))
        store.fetchAll();
    const int loaded = store.rowCount();
    for (int i = 0; i < block.size(); ++i) {
        const int target = row + i;
        RowChange::Values added;
        for (int j = 0; j < block.at(i).size(); ++j) {
            const int field = column + j;
            if (field >= ChannelRow::fieldCount) {
                m_dropped = std::max(m_dropped, int(block.at(i).size()) - j);
                break;
            }
            const QVariant value = FieldValue::fromInput(field, block.at(i).at(j));
            if (target < loaded)
                m_change.cells.append({ target, field, store.rowAt(target)->values[field], value });
            else
                added[field] = value;
        }
        if (target >= loaded)
            m_change.inserted << added;
    }
    if (!m_change.inserted.isEmpty())
        m_change.insertAt = loaded;
}
