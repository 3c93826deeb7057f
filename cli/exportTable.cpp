#include "Commands.h"

#include "ChannelExchange.h"
#include "ChannelStore.h"
#include "CommandLine.h"
#include "ExitCode.h"
#include "Terminal.h"

int exportCommand(const CommandLine &line)
{
    ChannelStore model;
    if (!Terminal::openTable(model, line.database()))
        return ExitCode::Failed;
    const auto format = line.chirp() ? ChannelExchange::Format::Chirp : ChannelExchange::Format::Ours;
    return Terminal::report(ChannelExchange::exportTo(model, line.argument(), format));
}
