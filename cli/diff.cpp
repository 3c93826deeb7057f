#include "Commands.h"

#include "CommandLine.h"
#include "ExitCode.h"
#include "LoadComparison.h"
#include "LoadSource.h"
#include "Terminal.h"

// What a load of A and a load of FILE put on the wire, one line per
// difference and a summary; exit 0 only when the bytes are the same.
int diffCommand(const CommandLine &line)
{
    const LoadSource a(line.argument()), b(line.database());
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
