#include "Commands.h"

#include "CommandLine.h"
#include "ExitCode.h"
#include "Loopback.h"
#include "Terminal.h"

#include <QCoreApplication>

// The cable self-test on the terminal: exit 0 when the echo came back whole.
int loopbackCommand(const CommandLine &line)
{
    Loopback test;
    QObject::connect(&test, &Loopback::finished, [](Loopback::Result result, const QString &message) {
        const bool passed = result == Loopback::Passed;
        passed ? Terminal::out(message) : Terminal::err(message);
        QCoreApplication::exit(passed ? ExitCode::Ok : ExitCode::Failed);
    });
    test.start(line.argument());
    return QCoreApplication::exec();
}
