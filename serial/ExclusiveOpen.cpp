#include "ExclusiveOpen.h"

#include "PortMapping.h"

#include <QSerialPort>

#include <sys/file.h>

DeviceState openExclusive(QSerialPort *port, QIODevice::OpenMode mode, const QString &device)
{
    const QString real = PortMapping::resolved(device);
    // QSerialPort's QLockFile takes the lock file of a program that is not Qt
    // (minicom's) for stale and deletes it, and root is not kept out by the
    // exclusive mode: the lock files are read before Qt touches them.
    const PortHolder locker = PortHolder::fromLockFile(real, {}, PortHolder::RemoveStale);
    if (locker.found())
        return DeviceState::heldBy(device, locker);
    if (!port->open(mode))
        return DeviceState::probe(device);
    // picocom and others take no lock file but flock the device; ours in turn
    // keeps them and another qt7020 out.
    if (::flock(port->handle(), LOCK_EX | LOCK_NB) != 0) {
        port->close();
        return DeviceState::heldBy(device, PortHolder::find(real));
    }
    return {};
}
