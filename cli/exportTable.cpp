#include "Commands.h"

#include "ChannelExchange.h"
#include "ChannelModel.h"
#include "CommandLine.h"
#include "Terminal.h"

int exportCommand(const CommandLine &line)
{
    ChannelModel model;
    if (!Terminal::openTable(model, line.database()))
        return 1;
    const auto format = line.chirp() ? ChannelExchange::Format::Chirp : ChannelExchange::Format::Ours;
    return Terminal::report(ChannelExchange::exportTo(model, line.argument(), format));
}
