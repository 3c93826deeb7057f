#pragma once

#include "ChannelExchange.h"

#include <QString>

class ChannelEditor;
class ChannelStore;

// Edits the file still refuses when the program has to end (a signal, the end
// of the session) are not dropped: they go beside the file, to
// char4.mdb.unsaved.csv in our CSV format, one line per row with an unsaved cell,
// as the grid showed it. The next start offers to write them; a row finds its
// place by its record number.
namespace UnsavedEdits {

QString fileFor(const QString &database);

// Tries the file once more; what it still refuses goes to the side file. False
// with a message when even that cannot be written.
ChannelExchange::Outcome keep(ChannelStore &model);

// Writes the kept rows into the open table; the side file goes when every row
// found its place and the file took every cell.
ChannelExchange::Outcome apply(ChannelEditor &editor);

} // namespace UnsavedEdits
