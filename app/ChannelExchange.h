#pragma once

#include "channels/ImportedRows.h"

#include <QString>

class ChannelModel;

// Export and import of 信道表, the same for the window's menu and the command
// line: our CSV or CHIRP's, told apart on import by the header.
namespace ChannelExchange {

enum Format { OurCsv, ChirpCsv };

// Writes the whole table; `report` says how many rows went out and which were left out.
bool exportTo(ChannelModel &model, const QString &file, Format format, QString *report, QString *error);

// Reads an import file without touching the table.
bool read(const QString &file, ImportedRows *rows, QString *error);

// What an import read, in words, for the operator to confirm.
QString summary(const ImportedRows &rows);

} // namespace ChannelExchange
