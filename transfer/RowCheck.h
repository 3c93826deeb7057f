#pragma once

#include "RowVerdict.h"

// The verdict of the frame encoder on one row, every offending field named:
// a channel number outside 1-255 alone, or each frequency that is out of range.
RowVerdict checkRow(const ChannelRow &row);
