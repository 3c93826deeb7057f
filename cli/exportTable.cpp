#include "Commands.h"

#include "ChannelExchange.h"
#include "ChannelStore.h"
#include "CommandLine.h"
#include "ExitCode.h"
#include "Terminal.h"

int exportCommand(const CommandLine &line)
{
    ChannelStore store;
    if (!Terminal::openTable(store, line.database()))
        return ExitCode::Failed;
    const auto format = line.chirp() ? ChannelExchange::Format::Chirp : ChannelExchange::Format::Ours;
    return Terminal::report(ChannelExchange::exportTo(store, line.argument(), format));
}
