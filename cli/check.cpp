#include "Commands.h"

#include "ChannelStore.h"
#include "CommandLine.h"
#include "PlanCheck.h"
#include "PlanChecksum.h"
#include "Terminal.h"
#include "TransferPlan.h"

// Every error and warning among the rows a transfer sends, one line each, as
// 检查信道表 lists them: exit 0 when there is none, 1 with warnings only, 2 with
// an error. A plan that can go out ends with its checksum, the one the printed
// sheet and the journal show.
int checkCommand(const CommandLine &line)
{
    ChannelStore model;
    if (!Terminal::openTable(model, line.database()))
        return 2;
    bool error = false;
    const QVector<PlanFinding> findings = PlanCheck::check(model, TransferPlan::rowsSent);
    for (const PlanFinding &finding : findings) {
        error = error || finding.error;
        Terminal::out(PlanCheck::describe(finding, model));
    }
    if (!model.readError().isEmpty()) {
        Terminal::err(model.readError());
        return 2;
    }
    if (error)
        return 2;
    const QByteArray frames = PlanChecksum::planFrames(model);
    if (!frames.isEmpty())
        Terminal::out(QStringLiteral("传送校验 SHA-256: ") + PlanChecksum::sha256(frames));
    return findings.isEmpty() ? 0 : 1;
}
