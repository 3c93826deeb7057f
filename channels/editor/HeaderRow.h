#pragma once

#include <QStringList>
#include <QVector>

// Whether the first line of a block pasted from column `column` on is a
// spreadsheet's header rather than a channel: its cells are our captions or
// field names (any order, with or without "(MHz)", blanks ignored), or it
// holds text where the lines below it hold numbers in a channel or frequency
// column.
namespace HeaderRow {

bool isHeader(const QVector<QStringList> &block, int column);

} // namespace HeaderRow
