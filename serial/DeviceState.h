#pragma once

#include "PortHolder.h"

#include <QString>

// What the operator needs to know about one serial device before using it: it
// opens, another program holds it, it is not there, there is no hardware
// behind its device file, the user may not open it, or it is no serial device
// at all. `cause` is a line for a message, empty when the device opens and
// when nothing more than "in use" is known.
struct DeviceState
{
    enum Kind { Opens, InUse, Missing, NoHardware, NoPermission, NotSerial };

    Kind kind = Opens;
    QString cause;

    // Looks without changing anything on the line: a file check, a
    // non-blocking open to ask for the system's error and whether it is a
    // terminal, and the holders in the lock files and /proc.
    static DeviceState probe(const QString &device, const SystemPaths &paths = {});

    // `device` held by `holder`, named when it was found, with the one-line
    // remedy for ModemManager and brltty.
    static DeviceState heldBy(const QString &device, const PortHolder &holder);

    // Short state for a list ("可以打开", "被占用" …).
    QString summary() const;
};
