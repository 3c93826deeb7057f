#include "PortHint.h"

#include "PortMapping.h"

#include <QFileInfo>

namespace PortHint {

QString of(const QString &device, const QList<PortEntry> &present)
{
    const QString real = PortMapping::resolved(device);
    for (const PortEntry &entry : present)
        if (entry.isUsb() && PortMapping::resolved(entry.path) == real)
            return QStringLiteral("USB 数据线 %1").arg(entry.vendorProduct);
    if (!QFileInfo::exists(real))
        return QStringLiteral("没有这个设备");
    return PortMapping::isOnBoard(real) ? QStringLiteral("主板串口") : QStringLiteral("串口设备");
}

} // namespace PortHint
