#pragma once

#include "ChannelFields.h"
#include "RowCommand.h"

// 修改“…”: one typed cell, from the value it replaced to the one typed.
class EditCellCommand : public RowCommand
{
public:
    explicit EditCellCommand(const RowChange::Cell &cell)
        : RowCommand(QStringLiteral("修改“%1”").arg(ChannelFields::caption(cell.column)))
    {
        m_change.cells.append(cell);
    }
};
