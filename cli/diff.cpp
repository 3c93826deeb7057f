#include "Commands.h"

#include "CommandLine.h"
#include "ExitCode.h"
#include "JournalSet.h"
#include "LoadComparison.h"
#include "LoadSource.h"
#include "Terminal.h"

#include <optional>

// What a load of A and a load of FILE put on the wire, one line per
// difference and a summary; exit 0 only when the bytes are the same. A
// journal side reads the journals of --from too.
int diffCommand(const CommandLine &line)
{
    const auto fromJournal = [](const QString &side) {
        return side.startsWith(QLatin1String("journal:")) || side.startsWith(QLatin1String("radio:"));
    };
    std::optional<JournalSet> journals;
    if (fromJournal(line.argument()) || fromJournal(line.database())) {
        journals.emplace(line.from());
        if (!journals->error().isEmpty()) {
            Terminal::err(journals->error());
            return ExitCode::Unusable;
        }
        for (const QString &damage : journals->damage())
            Terminal::err(damage);
    }
    const QVector<TransferJournal::Entry> *entries = journals ? &journals->entries() : nullptr;
    const LoadSource a(line.argument(), entries), b(line.database(), entries);
    for (const LoadSource *side : { &a, &b }) {
        if (!side->isValid()) {
            Terminal::err(side->error());
            return ExitCode::Unusable;
        }
    }
    const LoadComparison comparison(a.frames(), b.frames());
    Terminal::out(comparison.text(a.label(), b.label()));
    return comparison.identical() ? ExitCode::Ok : ExitCode::Failed;
}
