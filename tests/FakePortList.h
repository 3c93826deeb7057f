#pragma once

#include "PortList.h"

// A device list the test fills: plugging and unplugging is a change of `entries`.
struct FakePortList : PortList
{
    QList<PortEntry> entries;
    QList<PortEntry> ports() const override { return entries; }
};
