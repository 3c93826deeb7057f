#pragma once

#include <QColor>

// Every colour qt7020 draws in, named by what it marks, so that the grid, the
// check list and the icon cannot drift apart. Qt Gui only: ChannelTableModel,
// which has no widgets, tints its cells from here too.
namespace DesignColours {

// The main window's and the port dialog's text, as the first loader's form
// coloured it (Visual Basic's vbBlue, vbRed, vbYellow).
inline constexpr QColor blue{ 0, 0, 255 };
inline constexpr QColor red{ 255, 0, 0 };
inline constexpr QColor yellow{ 255, 255, 0 };

// The channel grid: text of the rows a load does not send, and the cell tints
// the check list repeats so that a finding looks like the cell it points at.
// Pale enough that the black text on them stays readable.
inline constexpr QColor notSentText{ 160, 160, 160 };
inline constexpr QColor problemCell{ 255, 205, 210 };   // keeps its row from being sent
inline constexpr QColor warningCell{ 255, 224, 130 };   // sent, but perhaps not as meant
inline constexpr QColor unsavedCell{ 255, 236, 179 };   // an edit the file refused
// 连续传送's table: a radio whose load failed or was broken off, to be loaded again.
inline constexpr QColor radioNotLoaded = problemCell;
// …and one loaded again since: the failure is history, no longer the radio's state.
inline constexpr QColor radioRetried{ 235, 235, 235 };

// The window icon, a hand-held radio.
inline constexpr QColor iconAntenna{ 40, 40, 40 };
inline constexpr QColor iconBody{ 0, 0, 200 };
inline constexpr QColor iconDisplay{ 190, 230, 255 };
inline constexpr QColor iconKeys = yellow;

} // namespace DesignColours
