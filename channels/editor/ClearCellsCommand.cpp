#include "ClearCellsCommand.h"

#include "ChannelStore.h"
#include "FieldValue.h"

ClearCellsCommand::ClearCellsCommand(ChannelStore &store, const QModelIndexList &cells)
    : RowCommand(store, QStringLiteral("清除"))
{
    QVector<CellsChange::Cell> cleared;
    for (const QModelIndex &cell : cells) {
        if (!cell.isValid() || cell.row() >= store.rowCount())
            continue;
        const QVariant &before = store.rowAt(cell.row())->values[cell.column()];
        if (!FieldValue::isNull(before))
            cleared.append({ cell.row(), cell.column(), before, QVariant() });
    }
    m_ready = !cleared.isEmpty();
    add(std::make_unique<CellsChange>(std::move(cleared)));
}
