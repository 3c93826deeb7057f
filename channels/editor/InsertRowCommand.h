#pragma once

#include "RowCommand.h"

// 插入行: an empty row above `row` (at the end past the last row), whose
// 记录编号 is one more than the largest whole record number.
class InsertRowCommand : public RowCommand
{
public:
    InsertRowCommand(ChannelStore &store, int row);
};
