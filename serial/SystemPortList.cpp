#include "SystemPortList.h"

#include <QSerialPortInfo>

QList<PortEntry> SystemPortList::ports() const
{
    QList<PortEntry> found;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        PortEntry entry;
        entry.path = info.systemLocation();
        entry.description = info.description();
        entry.manufacturer = info.manufacturer();
        if (info.hasVendorIdentifier() && info.hasProductIdentifier())
            entry.vendorProduct = QStringLiteral("%1:%2")
                                          .arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                                          .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
        entry.serialNumber = info.serialNumber();
        found.append(entry);
    }
    return found;
}
