#pragma once

#include <QList>
#include <QMetaType>
#include <algorithm>
#include <QString>

// One serial device the system knows of.
struct PortEntry
{
    QString path;            // /dev/ttyUSB0
    QString description;     // "USB Serial"
    QString manufacturer;
    QString vendorProduct;   // "1a86:7523", empty for an on-board port
    QString serialNumber;

    bool isUsb() const { return !vendorProduct.isEmpty(); }
};

Q_DECLARE_METATYPE(PortEntry)

// The serial devices present now. Behind an interface so that a test can make
// devices come and go; SystemPortList asks the system.
class PortList
{
public:
    virtual ~PortList() = default;
    virtual QList<PortEntry> ports() const = 0;

    bool hasUsbAdapter() const
    {
        const QList<PortEntry> all = ports();
        return std::any_of(all.cbegin(), all.cend(), [](const PortEntry &e) { return e.isUsb(); });
    }
};
