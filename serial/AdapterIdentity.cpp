#include "AdapterIdentity.h"

#include "PortList.h"
#include "PortMapping.h"

#include <QFileInfo>

AdapterIdentity AdapterIdentity::of(const QString &device, const PortList &list)
{
    AdapterIdentity identity;
    identity.m_path = device;
    // A link names the adapter, not the socket: udev points it at whatever
    // node the adapter gets when it is back.
    const QString stable = PortMapping::stableName(device);
    if (QFileInfo(device).isSymLink())
        identity.m_link = QFileInfo(device).absoluteFilePath();
    else if (stable != device)
        identity.m_link = stable;
    if (!identity.m_link.isEmpty())
        return identity;
    const QString real = PortMapping::resolved(device);
    for (const PortEntry &entry : list.ports()) {
        if (entry.isUsb() && PortMapping::resolved(entry.path) == real) {
            identity.m_vendorProduct = entry.vendorProduct;
            identity.m_serialNumber = entry.serialNumber;
        }
    }
    return identity;
}

QString AdapterIdentity::describe() const
{
    if (!m_link.isEmpty())
        return m_link;
    if (!m_vendorProduct.isEmpty())
        return (m_vendorProduct + u' ' + m_serialNumber).trimmed();
    return m_path;
}

QString AdapterIdentity::locate(const PortList &list) const
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
