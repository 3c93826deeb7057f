#pragma once

#include "Frequency.h"
#include "RowCommand.h"

#include <QPair>

// 频率计算: each of `cells` (row, column), a frequency column, becomes the
// frequency in `source` of its row plus `offset`, or, with `source` -1, its
// own frequency plus `offset`: 发送 = 接收 + 5 MHz, or every selected
// frequency −12.5 kHz. Worked out in whole 100 Hz units, so the result is the
// exact decimal. Cells whose source holds no number, or whose result would
// not be above 0, are left alone and counted in skipped().
class FrequencyCommand : public RowCommand
{
public:
    FrequencyCommand(ChannelStore &store, const QList<QPair<int, int>> &cells, int source, Frequency offset);
    int skipped() const { return m_skipped; }

private:
    int m_skipped = 0;
};
