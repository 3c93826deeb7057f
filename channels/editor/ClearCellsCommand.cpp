#include "ClearCellsCommand.h"

#include "ChannelStore.h"
#include "FieldValue.h"

ClearCellsCommand::ClearCellsCommand(ChannelStore &store, const QModelIndexList &cells)
    : RowCommand(QStringLiteral("清除"))
{
    for (const QModelIndex &cell : cells) {
        if (!cell.isValid() || cell.row() >= store.rowCount())
            continue;
        const QVariant &before = store.rowAt(cell.row())->values[cell.column()];
        if (!FieldValue::isNull(before))
            m_change.cells.append({ cell.row(), cell.column(), before, QVariant() });
    }
    m_ready = !m_change.cells.isEmpty();
}
