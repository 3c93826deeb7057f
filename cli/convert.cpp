#include "Commands.h"

#include "ChannelExchange.h"
#include "CommandLine.h"
#include "Terminal.h"

int convertCommand(const CommandLine &line)
{
    return Terminal::report(ChannelExchange::convert(line.database()));
}
