#pragma once

#include "RowCommand.h"

// 上移 / 下移: `rows` (ascending) one place up (step -1) or down (+1).
class MoveRowsCommand : public RowCommand
{
public:
    MoveRowsCommand(ChannelStore &store, const QList<int> &rows, int step);
};
