#include "Terminal.h"

#include "ChannelStore.h"
#include "ExitCode.h"

#include <QFileInfo>
#include <cstdio>

namespace Terminal {

void out(const QString &text)
{
    std::fputs(qPrintable(text + u'\n'), stdout);
    std::fflush(stdout);
}

void err(const QString &text)
{
    std::fputs(qPrintable(text + u'\n'), stderr);
}

bool openTable(ChannelStore &model, const QString &path)
{
    if (model.open(path))
        return true;
    err(QStringLiteral("信道数据库 %1 不能使用：%2。").arg(QFileInfo(path).absoluteFilePath(), model.errorString()));
    return false;
}

int report(const ChannelExchange::Outcome &outcome)
{
    outcome.ok ? out(outcome.message) : err(outcome.message);
    return outcome.ok ? ExitCode::Ok : ExitCode::Failed;
}

} // namespace Terminal
