#include "Commands.h"

#include "ChannelDatabase.h"
#include "ChannelExchange.h"
#include "ChannelFields.h"
#include "ChannelStore.h"
#include "CommandLine.h"
#include "ExitCode.h"
#include "Terminal.h"

#include <QFile>
#include <QFileInfo>

// No question asked: whoever runs the command has decided; the copy is made all the same.
// A channel file that does not exist yet is made with the rows, so there is nothing to copy.
int importCommand(const CommandLine &line)
{
    const ChannelExchange::Import import = ChannelExchange::read(line.argument());
    if (!import.ok) {
        Terminal::err(import.message);
        return ExitCode::Failed;
    }
    Terminal::out(import.message);
    const QString path = line.database();
    if (!QFileInfo::exists(path)) {
        QString error;
        if (!ChannelDatabase::create(path, ChannelFields::names(), import.rows.rows, &error)) {
            QFile::remove(path);
            Terminal::err(QStringLiteral("不能新建信道文件 %1：%2。").arg(path, error));
            return ExitCode::Failed;
        }
        Terminal::out(QStringLiteral("已新建 %1，导入 %2 行。").arg(path).arg(import.rows.rows.size()));
        return ExitCode::Ok;
    }
    ChannelStore store;
    if (!Terminal::openTable(store, path))
        return ExitCode::Failed;
    return Terminal::report(ChannelExchange::apply(store, import));
}
