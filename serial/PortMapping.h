#pragma once

#include <QString>

// Which device COM1 and COM2 stand for. In order: QT7020_COM1 / QT7020_COM2 from
// the environment (for scripts), the choice saved in the user's settings
// (qt7020/qt7020.conf, group "ports"), else the on-board ports /dev/ttyS0 and
// /dev/ttyS1.
namespace PortMapping {

QString deviceFor(int number);
QString fromEnvironment(int number);
QString saved(int number);
// True when the operator or a script chose the device; false for the on-board default.
bool isChosen(int number);
// Remembers `device` for port `number`, under its stable /dev/serial/by-id name
// when it has one, so that the choice survives another USB socket.
void save(int number, const QString &device);

// The /dev/serial/by-id link that points at `device`, or `device` itself.
QString stableName(const QString &device);
// The device file behind links; two names of one device give the same path.
QString resolved(const QString &device);
bool isOnBoard(const QString &device);

} // namespace PortMapping
