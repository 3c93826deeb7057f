#pragma once

#include "ChannelRow.h"

#include <QHash>
#include <QPair>
#include <QString>
#include <QVector>
#include <array>

class ChannelStore;

// What the radio will get from the rows a transfer sends, in the operator's
// words. Errors keep a row from being sent at all (the encoder refuses it);
// warnings name fields that are sent, but not as they read in the grid: text
// read only in part, a null frame or a zero frequency where a value was meant,
// a channel number that is rounded or taken twice, a frequency off the usual
// channel raster.
struct PlanFinding
{
    int row = 0;        // from 0
    int column = 0;     // field position
    bool error = false;
    QString text;       // names the field and the value
};

namespace PlanCheck {

// The warnings one row carries on its own, by field (empty where none).
std::array<QString, ChannelRow::fieldCount> rowWarnings(const ChannelRow &row);

// Every error and warning among the first `rows` rows, row by row, channel
// numbers taken twice included.
QVector<PlanFinding> check(ChannelStore &model, int rows);

// The findings that need more than one row: a channel number taken twice,
// on the later row.
QVector<PlanFinding> duplicateChannels(ChannelStore &model, int rows);

// The same for the grid's marks: the rows a load sends, by (row, column).
QHash<QPair<int, int>, QString> duplicateMarks(ChannelStore &model);

// "第 3 行（记录编号 3）警告：接收频率 “438,5” 只读作 438"
QString describe(const PlanFinding &finding, ChannelStore &model);

} // namespace PlanCheck
