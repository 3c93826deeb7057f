#pragma once

#include "DeviceState.h"
#include "SerialLink.h"

#include <QList>
#include <QPointer>
#include <QSerialPort>

// The serial line on QSerialPort. COM1 and COM2 are the devices PortMapping
// names, unless setDevice() puts one on another device for this link alone. Incoming characters are thrown away: reading is kept only so
// that a device that goes away is noticed.
class QtSerialLink : public SerialLink
{
    Q_OBJECT
public:
    explicit QtSerialLink(QObject *parent = nullptr);
    ~QtSerialLink() override;

    // The device of port `number`: environment, saved choice, or the on-board port.
    static QString deviceFor(int number);
    // Puts port `number` on `device` for this link alone (the command line's --send).
    void setDevice(int number, const QString &device);

    int portNumber() const override { return m_number; }
    bool setPortNumber(int number) override;
    bool open() override;
    void close() override;
    bool isOpen() const override { return m_port != nullptr; }
    bool write(const QByteArray &text) override;
    qint64 bytesQueued() const override;
    QString errorString() const override { return m_error; }
    QString openFailureCause() const override { return m_cause; }
    DeviceState::Kind openFailureKind() const override
    {
        return m_failure.kind == DeviceState::Opens ? DeviceState::InUse : m_failure.kind;
    }
    // After a failed open(): what is known about the device, without the
    // window's remedy (for a command line that named the device itself).
    DeviceState openFailure() const { return m_failure; }
    QString deviceName() const override;

private:
    void onError(QSerialPort::SerialPortError error);
    void drainThenClose(QSerialPort *port);
    void closeDrainingNow(const QString &device);
    void closeAll();

    int m_number = 1;
    QString m_devices[2];
    QSerialPort *m_port = nullptr;
    QList<QPointer<QSerialPort>> m_draining;
    QString m_error;
    QString m_cause;
    DeviceState m_failure;
};
