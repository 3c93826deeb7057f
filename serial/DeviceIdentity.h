#pragma once

#include "PortList.h"

#include <QString>

// Which device a port is, in terms that outlast pulling its cable out: the
// path it was named by, the /dev/serial/by-id link that names the adapter
// rather than the socket, and for a USB adapter its vendor:product and serial
// number, as the device list tells them. What the journal keeps of a device,
// what the operator knows it as, and where a replugged adapter is now are all
// read from here.
class DeviceIdentity
{
public:
    DeviceIdentity() = default;
    // The device `device` ("/dev/serial/by-id/usb-…", "/dev/ttyUSB0") is now.
    static DeviceIdentity of(const QString &device, const PortList &list);
    static DeviceIdentity of(const QString &device, const QList<PortEntry> &present);

    // What the journal keeps: the path the name resolves to and, for a USB
    // adapter, its ids — "/dev/ttyUSB0 1a86:7523 A50285BI".
    QString record() const;
    // The adapter as a fleet run follows it: the link, "1a86:7523 A50285BI",
    // or the path.
    QString describe() const;
    // What the operator knows it as beside COM1 and COM2: "USB 数据线
    // 1a86:7523", "主板串口", "串口设备" or "没有这个设备".
    QString hint() const;
    // The device to open for this adapter now, or empty while it is not
    // plugged in; a device known by its path alone is always there to try.
    QString locate(const PortList &list) const;

private:
    QString m_path;
    QString m_resolved;
    QString m_link;
    QString m_vendorProduct;
    QString m_serialNumber;
};
