#pragma once

#include "ChannelRow.h"

#include <QVector>

// How the rows loaded from a file become the rows it holds now, both lists in
// key order: runs removed, runs added, rows kept (whose values may differ).
// Positions are those of the loaded list as the steps before have left it, so
// the steps can be carried out, and announced, one after another.
namespace RowMerge {

struct Step
{
    enum Kind { Remove, Insert, Update } kind;
    int at;      // position in the list being changed
    int from;    // Insert, Update: first row of `fresh` it takes
    int count;   // Remove, Insert: rows in the run
};

QVector<Step> plan(const QVector<ChannelRow> &loaded, const QVector<ChannelRow> &fresh);
// True when rows came or went, not only changed.
bool moves(const QVector<Step> &steps);

} // namespace RowMerge
