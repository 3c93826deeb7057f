#pragma once

#include "BandProfile.h"
#include "RowVerdict.h"

// The verdict on one row on its own: the frame it sends, or each field that
// keeps it from being sent; the warnings on the fields that are sent, those
// of `band` included. The grid's tints, the checks and every load read this
// one verdict. Frequencies are judged as the frame carries them.
RowVerdict checkRow(const ChannelRow &row, const BandProfile &band);
