#include "Commands.h"

#include "ChannelStore.h"
#include "CommandLine.h"
#include "ExitCode.h"
#include "LoadPlan.h"
#include "Terminal.h"

// Row, record number and frame of each row a transfer would send; exit 2 with
// the reason when the rows would not be sent.
int framesCommand(const CommandLine &line)
{
    ChannelStore store;
    if (!Terminal::openTable(store, line.database()))
        return ExitCode::Failed;
    const LoadPlan plan = LoadPlan::of(store, Terminal::band());
    if (!plan.isSendable()) {
        Terminal::err(plan.refusal());
        return ExitCode::Unusable;
    }
    for (const LoadPlan::Frame &frame : plan.frames())
        Terminal::out(QStringLiteral("%1\t%2\t%3").arg(frame.row + 1).arg(frame.record, QString::fromLatin1(frame.bytes)));
    return ExitCode::Ok;
}
