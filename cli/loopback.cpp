#include "Commands.h"

#include "CommandLine.h"
#include "ExitCode.h"
#include "Loopback.h"
#include "SignalWatch.h"
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
    // As --send does: the test's port, and the lock file Qt made for it, are
    // closed on the way out rather than left behind.
    SignalWatch signalWatch;
    QObject::connect(&signalWatch, &SignalWatch::received, &test, [](int signal) {
        Terminal::err(QStringLiteral("收到 %1，数据线检测中断").arg(SignalWatch::describe(signal)));
        QCoreApplication::exit(1);
    });
    test.start(line.argument());
    return QCoreApplication::exec();
}
