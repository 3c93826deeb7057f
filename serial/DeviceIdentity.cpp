#include "DeviceIdentity.h"

#include <QFileInfo>
#include <QSerialPortInfo>

namespace DeviceIdentity {

QString describe(const QString &device)
{
    const QString resolved = QFileInfo(device).canonicalFilePath();
    const QString path = resolved.isEmpty() ? device : resolved;
    const QSerialPortInfo info(path);
    QString text = path;
    if (info.hasVendorIdentifier() && info.hasProductIdentifier())
        text += QStringLiteral(" %1:%2").arg(info.vendorIdentifier(), 4, 16, QLatin1Char('0'))
                                         .arg(info.productIdentifier(), 4, 16, QLatin1Char('0'));
    if (!info.serialNumber().isEmpty())
        text += u' ' + info.serialNumber();
    return text;
}

} // namespace DeviceIdentity
