#pragma once

#include "RowCommand.h"

// 排序: every row of the file in the order of one field, ascending or
// descending; numbers by value before texts, empty cells last in both
// directions, rows of equal value in the order they had. The keys stay in
// place, so the file's own order is the new one, and with it which rows a
// transfer sends. Rows already in order are no step.
class SortRowsCommand : public RowCommand
{
public:
    SortRowsCommand(ChannelStore &store, int column, bool descending);
};
