#pragma once

#include "ChannelExchange.h"

#include <QString>
#include <QStringList>
#include <functional>

class ChannelEditor;
class ChannelStore;

// Edits the file still refuses when the program has to end (a signal, the end
// of the session) are not dropped: they go beside the file, to
// char4.mdb.unsaved.csv, or where that cannot be written to the user's state
// folder ($XDG_STATE_HOME/qt7020/, named after the file and its path). A side
// file counts as kept only once it reads back as written; the next start offers
// to write what was kept.
//
// The side file is CSV as our channel files are (UTF-8 with a byte-order mark,
// texts quoted, numbers not, an empty unquoted field null), one line per unsaved
// cell under the header
//     记录编号,字段,原值,新值
// the record number of its row as the file holds it, the field's name, the value
// the edit replaced and the operator's value. A row finds its place by its record
// number. Files kept by earlier versions hold whole rows under the five field
// names; those are still read, and write every field that differs.
namespace UnsavedEdits {

// Beside the file.
QString fileFor(const QString &database);
// In the user's state folder, when beside the file cannot be written.
QString stateFileFor(const QString &database);
// The side files of `database` there are, the older first.
QStringList keptFiles(const QString &database);
// A side file as messages name it: its name beside the file, else its whole path.
QString shownName(const QString &side, const QString &database);

// Tries the file once more; what it still refuses goes to a side file. False
// with a message saying the edits are lost when no side file can be written.
ChannelExchange::Outcome writeSideFile(ChannelStore &store);

// Asked once with a line for each kept cell the file no longer holds the
// replaced value of (another program changed it since): true writes them anyway.
using Overwrite = std::function<bool(const QStringList &changed)>;

// Writes the kept cells of `side` into the open table: those the file still
// holds the replaced value of, and those `overwrite` allows. The side file goes
// when every cell found its row and nothing is left unwritten.
ChannelExchange::Outcome apply(ChannelEditor &editor, const QString &side, const Overwrite &overwrite);

} // namespace UnsavedEdits
