#include "Commands.h"

#include "ChannelStore.h"
#include "CommandLine.h"
#include "ExitCode.h"
#include "PlanCheck.h"
#include "PlanChecksum.h"
#include "Terminal.h"
#include "TransferPlan.h"

// Every error and warning among the rows a transfer sends, one line each, as
// 检查信道表 lists them. Scripts tell "the plan has problems" (Failed: errors
// or warnings, the lines say which) from "there was no plan to look at"
// (Unusable: a file missing or unreadable). A plan that can go out ends with
// its checksum, the one the printed sheet and the journal show.
int checkCommand(const CommandLine &line)
{
    ChannelStore model;
    if (!Terminal::openTable(model, line.database()))
        return ExitCode::Unusable;
    bool error = false;
    const QVector<PlanFinding> findings = PlanCheck::check(model, TransferPlan::rowsSent);
    for (const PlanFinding &finding : findings) {
        error = error || finding.error;
        Terminal::out(PlanCheck::describe(finding, model));
    }
    if (!model.readError().isEmpty()) {
        Terminal::err(model.readError());
        return ExitCode::Unusable;
    }
    if (error)
        return ExitCode::Failed;
    const QByteArray frames = PlanChecksum::planFrames(model);
    if (!frames.isEmpty())
        Terminal::out(QStringLiteral("传送校验 SHA-256: ") + PlanChecksum::sha256(frames));
    return findings.isEmpty() ? ExitCode::Ok : ExitCode::Failed;
}
