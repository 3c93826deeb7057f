#pragma once

// What a load of the radio takes from 信道表: its first rows, one frame each, in
// the table's order. The radio's loader counts no further, so rows below these
// never leave the computer however the table is edited; the grid, the check
// list, the printed sheet and the command line all mark that same line.
namespace TransferPlan {

constexpr int rowsSent = 51;

} // namespace TransferPlan
