#pragma once

#include "PortList.h"

#include <QString>

// What the operator knows a device as, to show beside COM1 and COM2:
// "USB 数据线 1a86:7523", "主板串口", "串口设备" or "没有这个设备".
namespace PortHint {

QString of(const QString &device, const QList<PortEntry> &present);

} // namespace PortHint
