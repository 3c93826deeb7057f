#pragma once

#include "DeviceState.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// MSComm1: the one serial line to the radio, output only. Port number 1 or 2
// (COM1, COM2) picks the device; the line settings are fixed (1200 baud, 8 data
// bits, no parity, 1 stop bit, no flow control, DTR raised, RTS low).
// Behind this interface so that the transfer and the dialogs can be tested
// against a fake; QtSerialLink is the real one.
class SerialLink : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual int portNumber() const = 0;
    // Only 1 or 2, and only while the port is closed.
    virtual bool setPortNumber(int number) = 0;
    // False with errorString() when the device is missing, busy or not permitted.
    virtual bool open() = 0;
    // Closing a closed port does nothing. Frames already written still go out whole.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues the text unchanged, one byte per character, and returns at once;
    // false with errorString() when the port is closed or refuses the bytes.
    virtual bool write(const QByteArray &text) = 0;
    // Bytes written but not yet on the line: queued in the program and in the
    // driver (a UART's or USB adapter's output queue). 0 when closed.
    virtual qint64 bytesQueued() const = 0;
    virtual QString errorString() const = 0;
    // After a failed open(): a line for the operator on why, when more is
    // known than "in use" (no such device, no hardware behind it, no
    // permission, the program that holds it); else empty.
    virtual QString openFailureCause() const = 0;
    // After a failed open(): what kind of failure, as far as it is known;
    // InUse when nothing more is.
    virtual DeviceState::Kind openFailureKind() const { return DeviceState::InUse; }
    // The device behind the current port number, for messages ("/dev/ttyS0").
    virtual QString deviceName() const = 0;

    // A port message with, where known, the cause of the last failed open()
    // on a line of its own.
    QString withCause(const QString &text) const
    {
        const QString cause = openFailureCause();
        return cause.isEmpty() ? text : text + u'\n' + cause;
    }

signals:
    // The open device failed (unplugged, hung up); the port is already closed.
    void failed(const QString &cause);
};
