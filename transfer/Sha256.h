#pragma once

#include <QByteArray>
#include <QByteArrayView>

// SHA-256 as sha256sum prints it: 64 lowercase hexadecimal digits.
//
// A journal is checked line by line, and there Qt's own hash takes five
// times as long as OpenSSL's, which uses the processor's SHA instructions.
// OpenSSL's libcrypto is loaded only for such work (useOpenSsl()), not at
// start: its pages would weigh on every start of the window, whose few
// hashes Qt's does as well.
namespace Sha256 {

QByteArray hex(QByteArrayView bytes);

// From now on, hashes go through libcrypto; false where the system has none
// (Qt's hash goes on serving).
bool useOpenSsl();

} // namespace Sha256
