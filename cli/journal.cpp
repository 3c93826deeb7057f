#include "Commands.h"

#include "Terminal.h"
#include "TransferJournal.h"

// The transfer journal as the window shows it, newest first.
int journalCommand(const CommandLine &)
{
    const QStringList lines = TransferJournal::lines();
    if (lines.isEmpty())
        Terminal::err(QStringLiteral("还没有传送记录（%1）。").arg(TransferJournal::path()));
    for (const QString &line : lines)
        Terminal::out(line);
    return 0;
}
