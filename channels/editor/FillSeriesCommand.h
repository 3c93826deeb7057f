#pragma once

#include "RowCommand.h"

// 填充序列: the cells of one column in `rows` (ascending) numbered from
// `start` on by `step`, both in the column's unit: 1 for 记录编号 and 信道号,
// which get whole numbers, 100 Hz for the frequencies (Frequency). Cells
// that already hold their number are left out; 备注 takes no series.
class FillSeriesCommand : public RowCommand
{
public:
    FillSeriesCommand(ChannelStore &store, const QList<int> &rows, int column, qint64 start, qint64 step);
    // The value the k-th cell of a series gets.
    static QVariant valueAt(int column, qint64 start, qint64 step, int k);
};
