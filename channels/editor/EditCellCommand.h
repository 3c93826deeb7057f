#pragma once

#include "CellsChange.h"
#include "ChannelFields.h"
#include "RowCommand.h"

// 修改“…”: one typed cell, from the value it replaced to the one typed.
class EditCellCommand : public RowCommand
{
public:
    EditCellCommand(ChannelStore &store, const CellsChange::Cell &cell)
        : RowCommand(store, QStringLiteral("修改“%1”").arg(ChannelFields::caption(cell.column)))
    {
        add(std::make_unique<CellsChange>(QVector<CellsChange::Cell>{ cell }));
    }
};
