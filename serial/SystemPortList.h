#pragma once

#include "PortList.h"

// The serial devices QSerialPortInfo finds (udev on Linux).
class SystemPortList : public PortList
{
public:
    QList<PortEntry> ports() const override;
};
