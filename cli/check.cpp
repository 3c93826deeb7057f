#include "Commands.h"

#include "ChannelStore.h"
#include "CommandLine.h"
#include "ExitCode.h"
#include "LoadPlan.h"
#include "Terminal.h"

// Every error and warning among the rows a transfer sends, one line each, as
// 检查信道表 lists them, after the band plan they are held to. Scripts tell
// "the plan has problems" (Failed: errors or warnings, the lines say which)
// from "there was no plan to look at" (Unusable: a file missing or
// unreadable). A plan that can go out ends with its checksum, the one the
// printed sheet and the journal show.
int checkCommand(const CommandLine &line)
{
    ChannelStore store;
    if (!Terminal::openTable(store, line.database()))
        return ExitCode::Unusable;
    const LoadPlan plan = LoadPlan::of(store, Terminal::band());
    Terminal::out(QStringLiteral("频段规划：%1").arg(plan.bandName()));
    for (const LoadPlan::Finding &finding : plan.findings())
        Terminal::out(LoadPlan::describe(finding));
    if (!store.readError().isEmpty()) {
        Terminal::err(store.readError());
        return ExitCode::Unusable;
    }
    if (!plan.isSendable() && plan.firstBadRow() < 0)
        Terminal::err(plan.refusal());   // no row to blame: an empty table, say
    if (plan.isSendable())
        Terminal::out(QStringLiteral("传送校验 SHA-256: ") + plan.checksum());
    return plan.findings().isEmpty() && plan.isSendable() ? ExitCode::Ok : ExitCode::Failed;
}
