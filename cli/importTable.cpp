#include "Commands.h"

#include "ChannelDatabase.h"
#include "ChannelExchange.h"
#include "ChannelFields.h"
#include "ChannelModel.h"
#include "CommandLine.h"
#include "Terminal.h"

#include <QFileInfo>

// No question asked: whoever runs the command has decided; the copy is made all the same.
// A channel file that does not exist yet is made for the import, once the CSV has been read.
int importCommand(const CommandLine &line)
{
    const ChannelExchange::Import import = ChannelExchange::read(line.argument());
    if (!import.ok) {
        Terminal::err(import.message);
        return 1;
    }
    QString error;
    if (!QFileInfo::exists(line.database())
        && !ChannelDatabase::create(line.database(), ChannelFields::names(), {}, &error)) {
        Terminal::err(QStringLiteral("不能新建信道文件 %1：%2。").arg(line.database(), error));
        return 1;
    }
    ChannelModel model;
    if (!Terminal::openTable(model, line.database()))
        return 1;
    Terminal::out(import.message);
    return Terminal::report(ChannelExchange::apply(model, import));
}
