#include "Commands.h"

#include "ChannelFrame.h"
#include "ChannelStore.h"
#include "CommandLine.h"
#include "ExitCode.h"
#include "FieldValue.h"
#include "Terminal.h"
#include "TransferPlan.h"
#include "TransferSequence.h"

// Row, record number and frame of each row a transfer would send; exit 2 with
// the reason when a row cannot be sent.
int framesCommand(const CommandLine &line)
{
    ChannelStore model;
    if (!Terminal::openTable(model, line.database()))
        return ExitCode::Failed;
    const QString problem = TransferSequence::checkTable(&model);
    if (!problem.isEmpty()) {
        Terminal::err(problem);
        return ExitCode::Unusable;
    }
    for (int row = 0; row < TransferPlan::rowsSent; ++row) {
        const ChannelRow *r = model.rowAt(row);
        if (!r)
            break;
        Terminal::out(QStringLiteral("%1\t%2\t%3").arg(row + 1).arg(
                FieldValue::fieldText((*r)[ChannelFields::Record]), ChannelFrame::encode(*r).text()));
    }
    return ExitCode::Ok;
}
