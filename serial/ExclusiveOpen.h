#pragma once

#include "DeviceState.h"

#include <QIODevice>

class QSerialPort;

// Opens `port`, named after the real device behind `device`, for this program
// alone. While a running program's lock file or flock holds the device it is
// refused and the port stays closed; the state then says why, as it does when
// the opening itself fails (its cause is empty when no more than "in use" is
// known). Success is port->isOpen().
DeviceState openExclusive(QSerialPort *port, QIODevice::OpenMode mode, const QString &device);
