#include "DeviceIdentity.h"

#include "PortMapping.h"

#include <QFileInfo>

DeviceIdentity DeviceIdentity::of(const QString &device, const PortList &list)
{
    return of(device, list.ports());
}

DeviceIdentity DeviceIdentity::of(const QString &device, const QList<PortEntry> &present)
{
    DeviceIdentity identity;
    identity.m_path = device;
    identity.m_resolved = PortMapping::resolved(device);
    // A link names the adapter, not the socket: udev points it at whatever
    // node the adapter gets when it is back.
    const QString stable = PortMapping::stableName(device);
    if (QFileInfo(device).isSymLink())
        identity.m_link = QFileInfo(device).absoluteFilePath();
    else if (stable != device)
        identity.m_link = stable;
    for (const PortEntry &entry : present) {
        if (entry.isUsb() && PortMapping::resolved(entry.path) == identity.m_resolved) {
            identity.m_vendorProduct = entry.vendorProduct;
            identity.m_serialNumber = entry.serialNumber;
        }
    }
    return identity;
}

QString DeviceIdentity::record() const
{
    const QString canonical = QFileInfo(m_resolved).canonicalFilePath();
    QStringList parts{ canonical.isEmpty() ? m_path : canonical };
    if (!m_vendorProduct.isEmpty())
        parts << m_vendorProduct;
    if (!m_serialNumber.isEmpty())
        parts << m_serialNumber;
    return parts.join(u' ');
}

QString DeviceIdentity::describe() const
{
    if (!m_link.isEmpty())
        return m_link;
    if (!m_vendorProduct.isEmpty())
        return (m_vendorProduct + u' ' + m_serialNumber).trimmed();
    return m_path;
}

QString DeviceIdentity::hint() const
{
    if (!m_vendorProduct.isEmpty())
        return QStringLiteral("USB 数据线 %1").arg(m_vendorProduct);
    if (!QFileInfo::exists(m_resolved))
        return QStringLiteral("没有这个设备");
    return PortMapping::isOnBoard(m_resolved) ? QStringLiteral("主板串口") : QStringLiteral("串口设备");
}

QString DeviceIdentity::locate(const PortList &list) const
{
    // exists() follows the link: a link left dangling is a cable still out.
    if (!m_link.isEmpty())
        return QFileInfo(m_link).exists() ? m_link : QString();
    // Nothing but the path to know it by: whether it is back is for opening it to tell.
    if (m_vendorProduct.isEmpty())
        return m_path;
    for (const PortEntry &entry : list.ports())
        if (entry.vendorProduct == m_vendorProduct && entry.serialNumber == m_serialNumber)
            return entry.path;
    return QString();
}
