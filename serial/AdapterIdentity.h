#pragma once

#include <QString>

class PortList;

// Which cable a port is on, in terms that outlast pulling it out: the
// /dev/serial/by-id link the port was named by, else the USB vendor:product
// and serial number, else (an on-board port, a device the list does not know)
// the device path itself. A replugged adapter comes back under another
// /dev/ttyUSBn, or under the same link pointing elsewhere; this finds it there.
class AdapterIdentity
{
public:
    AdapterIdentity() = default;
    // The adapter behind `device` ("/dev/serial/by-id/usb-…", "/dev/ttyUSB0") now.
    static AdapterIdentity of(const QString &device, const PortList &list);

    // For the operator: the link, "1a86:7523 A50285BI", or the path.
    QString describe() const;
    // The device to open for this adapter now, or empty while it is not plugged
    // in; a device known by its path alone is always there to try.
    QString locate(const PortList &list) const;

private:
    QString m_link;
    QString m_vendorProduct;
    QString m_serialNumber;
    QString m_path;
};
