#include "Commands.h"

#include "CommandLine.h"
#include "ExitCode.h"
#include "PortDoctor.h"
#include "Terminal.h"

// The port doctor on the terminal: each finding on a line, the command that
// fixes it indented below, so that it can be copied. 0 when nothing is wrong,
// 1 when something is, 2 when the device named is not there at all.
int doctorCommand(const CommandLine &line)
{
    // A tree in place of /, for the tests; not for operators, so not in --help.
    const PortDoctor doctor(SystemPaths{ QString::fromLocal8Bit(qgetenv("QT7020_SYSTEM_ROOT")) });
    const QString device = line.argument();
    const QList<PortFinding> findings = doctor.examine(device);
    for (const PortFinding &finding : findings) {
        Terminal::out(QStringLiteral("%1：%2").arg(finding.label(), finding.text));
        if (!finding.remedy.isEmpty())
            Terminal::out(QStringLiteral("    ") + finding.remedy);
    }
    if (!device.isEmpty() && !doctor.exists(device))
        return ExitCode::Unusable;
    if (!PortDoctor::allClear(findings))
        return ExitCode::Failed;
    Terminal::out(QStringLiteral("没有发现问题。"));
    return ExitCode::Ok;
}
