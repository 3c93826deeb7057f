#pragma once

#include <QString>

// Which device a port really is, as a journal should keep it: the resolved
// path (a /dev/serial/by-id link followed), and for a USB adapter its
// vendor:product and serial number — "/dev/ttyUSB0 1a86:7523 A50285BI".
namespace DeviceIdentity {

QString describe(const QString &device);

} // namespace DeviceIdentity
