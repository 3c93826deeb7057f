#pragma once

#include <QByteArray>
#include <QByteArrayView>

// SHA-256 as sha256sum prints it: 64 lowercase hexadecimal digits. OpenSSL's,
// which uses the processor's own SHA instructions where it has them: a long
// journal is checked line by line, and Qt's own hash is five times slower.
namespace Sha256 {

QByteArray hex(QByteArrayView bytes);

} // namespace Sha256
