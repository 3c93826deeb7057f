#include "Commands.h"

#include "ChannelExchange.h"
#include "ChannelModel.h"
#include "CommandLine.h"
#include "Terminal.h"

// No question asked: whoever runs the command has decided; the copy is made all the same.
int importCommand(const CommandLine &line)
{
    ChannelModel model;
    if (!Terminal::openTable(model, line.database()))
        return 1;
    const ChannelExchange::Import import = ChannelExchange::read(line.argument());
    if (!import.ok) {
        Terminal::err(import.message);
        return 1;
    }
    Terminal::out(import.message);
    return Terminal::report(ChannelExchange::apply(model, import));
}
