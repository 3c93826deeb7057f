#include "Commands.h"

#include "ExitCode.h"
#include "PortMapping.h"
#include "SystemPortList.h"
#include "Terminal.h"

// One line per serial device: path, description, vendor:product and the COM
// it stands for, tab-separated for scripts.
int listPortsCommand(const CommandLine &)
{
    const QString com[] = { PortMapping::resolved(PortMapping::deviceFor(1)),
                            PortMapping::resolved(PortMapping::deviceFor(2)) };
    for (const PortEntry &entry : SystemPortList().ports()) {
        const QString real = PortMapping::resolved(entry.path);
        const QString mapped = real == com[0] ? QStringLiteral("COM1")
                : real == com[1]             ? QStringLiteral("COM2")
                                             : QStringLiteral("-");
        Terminal::out(QStringList{ entry.path, entry.description.isEmpty() ? QStringLiteral("-") : entry.description,
                                   entry.vendorProduct.isEmpty() ? QStringLiteral("-") : entry.vendorProduct, mapped }
                              .join(u'\t'));
    }
    return ExitCode::Ok;
}
