#include "PasteCommand.h"

#include "CellsChange.h"
#include "FieldValue.h"
#include "HeaderRow.h"
#include "InsertChange.h"

#include <algorithm>

PasteCommand::PasteCommand(ChannelStore &store, int row, int column, QVector<QStringList> block)
    : RowCommand(store, QStringLiteral("粘贴"))
{
    m_skippedHeader = HeaderRow::isHeader(block, column);
    if (m_skippedHeader)
        block.removeFirst();
    m_ready = !block.isEmpty();
    if (!m_ready)
        return;
    if (!store.rowAt(row + int(block.size()) - 1))
        store.fetchAll();
    const int loaded = store.rowCount();
    QVector<CellsChange::Cell> cells;
    QVector<ChannelRow::Values> added;
    for (int i = 0; i < block.size(); ++i) {
        const int target = row + i;
        ChannelRow::Values values;
        for (int j = 0; j < block.at(i).size(); ++j) {
            const int field = column + j;
            if (field >= ChannelRow::fieldCount) {
                m_dropped = std::max(m_dropped, int(block.at(i).size()) - j);
                break;
            }
            const FieldValue::Typed typed = FieldValue::fromTyping(field, block.at(i).at(j));
            const QVariant &value = typed.value;
            if (!typed.note.isEmpty())
                m_notes.insert({ target, field }, typed.note);
            if (target < loaded)
                cells.append({ target, field, store.rowAt(target)->values[field], value });
            else
                values[field] = value;
        }
        if (target >= loaded)
            added << values;
    }
    // The insertion last: it adds rows, and the cells name rows as they were.
    if (!cells.isEmpty())
        add(std::make_unique<CellsChange>(std::move(cells)));
    if (!added.isEmpty())
        add(std::make_unique<InsertChange>(loaded, std::move(added)));
}
