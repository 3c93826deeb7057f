#pragma once

#include "BandProfile.h"
#include "ChannelExchange.h"

#include <QString>

class ChannelStore;
class JournalSet;

// What the commands say: results on standard output, problems on standard error.
namespace Terminal {

void out(const QString &text);
void err(const QString &text);

// Opens the channel file for a command, or says why it cannot be used.
bool openTable(ChannelStore &store, const QString &path);

// Says why a journal named cannot be read (false), or which are not as written.
bool readJournals(const JournalSet &journals);

// The band plan the operator chose for the checks; a setting this program
// does not know is said on standard error, once.
const BandProfile &band();

// Says what a use case came to; its exit status (0 or 1).
int report(const ChannelExchange::Outcome &outcome);

} // namespace Terminal
