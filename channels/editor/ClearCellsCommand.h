#pragma once

#include "RowCommand.h"

#include <QModelIndexList>

// 清除: the cells emptied; cells already empty are left out, so clearing
// nothing is no step at all.
class ClearCellsCommand : public RowCommand
{
public:
    ClearCellsCommand(ChannelStore &store, const QModelIndexList &cells);
};
