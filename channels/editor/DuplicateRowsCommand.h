#pragma once

#include "RowCommand.h"

// 复制行: copies of `rows` (ascending, in the table) below the last of them,
// each with a new record number.
class DuplicateRowsCommand : public RowCommand
{
public:
    DuplicateRowsCommand(ChannelStore &store, const QList<int> &rows);
};
