#include "Commands.h"

#include "CommandLine.h"
#include "ExitCode.h"
#include "FleetReport.h"
#include "JournalSet.h"
#include "Terminal.h"
#include "TransferJournal.h"

// --journal --pdf OUT: the loads by radio on paper, from --since on, of one
// radio with --radio, from other PCs' journals too with --from.
int fleetReportCommand(const CommandLine &line)
{
    const JournalSet journals(line.from());
    if (!Terminal::readJournals(journals))
        return ExitCode::Unusable;
    const QVector<TransferJournal::Entry> entries = journals.selected(line.since(), line.radio());
    FleetReport report(entries, line.since(), QDate::currentDate());
    report.setChainHead(journals.heads());
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
