#include "Commands.h"

#include "BandProfiles.h"
#include "ChannelStore.h"
#include "LoadPlan.h"
#include "ChannelSheet.h"
#include "CommandLine.h"
#include "ExitCode.h"
#include "Terminal.h"

#include <QDate>

// The sheet the window prints, as a PDF file, without a display.
int pdfCommand(const CommandLine &line)
{
    ChannelStore store;
    if (!Terminal::openTable(store, line.database()))
        return ExitCode::Failed;
    const QVector<QVariantList> rows = store.allRows();
    const ChannelSheet sheet(rows, LoadPlan::of(store, Terminal::band()), store.fileName(), QDate::currentDate());
    QString error;
    if (!sheet.writePdf(line.argument(), &error)) {
        Terminal::err(error);
        return ExitCode::Failed;
    }
    Terminal::out(QStringLiteral("已把 %1 行打印到 %2。").arg(rows.size()).arg(line.argument()));
    return ExitCode::Ok;
}
