#pragma once

#include <QString>

// What the operator needs to know about one serial device before using it: it
// opens, another program holds it, it is not there, the user may not open it,
// or it is no serial device at all. `cause` is a line for a message, empty when
// the device opens.
struct DeviceState
{
    enum Kind { Opens, InUse, Missing, NoPermission, NotSerial };

    Kind kind = Opens;
    QString cause;

    // Looks without changing anything on the line: a file check, a
    // non-blocking open to ask whether it is a terminal, and the holders in /proc.
    static DeviceState probe(const QString &device);

    // The other process that has `device` open ("ModemManager（进程 812）"),
    // with the one-line remedy for ModemManager and brltty; empty when none is found.
    static QString holder(const QString &device);

    // Short state for a list ("可以打开", "被占用" …).
    QString summary() const;
};
