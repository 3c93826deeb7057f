#include "Commands.h"

#include "CommandLine.h"
#include "ExitCode.h"
#include "FleetReport.h"
#include "JournalReading.h"
#include "Terminal.h"
#include "TransferJournal.h"

// --journal --pdf OUT: the loads by radio on paper, from --since on.
int fleetReportCommand(const CommandLine &line)
{
    const JournalReading journal;
    FleetReport report(TransferJournal::since(journal.entries(), line.since()), line.since(), QDate::currentDate());
    report.setChainHead(journal.head());
    QString error;
    if (!report.writePdf(line.argument(), &error)) {
        Terminal::err(error);
        return ExitCode::Failed;
    }
    Terminal::out(QStringLiteral("已把 %1 部电台的 %2 次传送打印到 %3。")
                          .arg(report.radioCount())
                          .arg(report.loadCount())
                          .arg(line.argument()));
    return ExitCode::Ok;
}
