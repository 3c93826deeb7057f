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
    if (!journals.error().isEmpty()) {
        Terminal::err(journals.error());
        return ExitCode::Unusable;
    }
    for (const QString &damage : journals.damage())
        Terminal::err(damage);
    QVector<TransferJournal::Entry> entries = TransferJournal::since(journals.entries(), line.since());
    if (!line.radio().isEmpty())
        entries = JournalSet::ofRadio(entries, line.radio());
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
