#include "QtSerialLink.h"

#include "ExclusiveOpen.h"
#include "PortMapping.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <utility>

#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

// How long a closed port may go on sending what was queued before it: the
// output buffer holds 512 characters, 4.3 s at 1200 baud.
static const int drainLimitMs = 5000;
static const int drainPollMs = 20;
static const qint64 inBufferSize = 1024;

// Hands what is queued to the driver and waits until the line has sent it, so
// that closing (which puts the old line settings back) cuts no frame.
static void closeWhole(QSerialPort *port)
{
    if (!port->isOpen())
        return;
    port->flush();
    ::tcdrain(port->handle());
    port->close();
}

QtSerialLink::QtSerialLink(QObject *parent)
    : SerialLink(parent)
{
    // A window that a signal ends is never deleted: its port, and the lock
    // file Qt made for it, would outlive the program.
    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, &QtSerialLink::closeAll);
}

QtSerialLink::~QtSerialLink()
{
    closeAll();
}

void QtSerialLink::closeAll()
{
    if (QSerialPort *port = std::exchange(m_port, nullptr)) {
        port->disconnect(this);
        closeWhole(port);
    }
    for (const auto &port : std::as_const(m_draining))
        if (port)
            closeWhole(port);
}

QString QtSerialLink::deviceFor(int number)
{
    return PortMapping::deviceFor(number);
}

void QtSerialLink::setDevice(int number, const QString &device)
{
    if (number == 1 || number == 2)
        m_devices[number - 1] = device;
}

QString QtSerialLink::deviceName() const
{
    const QString chosen = m_devices[m_number - 1];
    return chosen.isEmpty() ? deviceFor(m_number) : chosen;
}

bool QtSerialLink::setPortNumber(int number)
{
    if (m_port) {
        m_error = QStringLiteral("串口打开时不能更改串口号");
        return false;
    }
    if (number != 1 && number != 2) {
        m_error = QStringLiteral("无效的串口号 %1").arg(number);
        return false;
    }
    m_number = number;
    return true;
}

// The remedy the window can offer, on a line of its own: another device for
// the port number.
static QString withRemedy(const DeviceState &state, int number)
{
    const QString elsewhere = QStringLiteral("（或用环境变量 QT7020_COM%1 指定）").arg(number);
    switch (state.kind) {
    case DeviceState::Missing:
    case DeviceState::NotSerial:
        return state.cause + QStringLiteral("\n请在“系统设置 → 串口与数据线 → 串口设备…”中为 COM%1 选择设备%2。").arg(number).arg(elsewhere);
    case DeviceState::NoHardware:
        return state.cause
                + QStringLiteral("\n这个设备文件后面没有串口芯片，请在“系统设置 → 串口与数据线 → 串口设备…”中为 COM%1 选择 USB "
                                 "数据线%2。")
                          .arg(number)
                          .arg(elsewhere);
    default:
        return state.cause;
    }
}

bool QtSerialLink::open()
{
    if (m_port)
        return true;
    const QString device = deviceName();
    // Opened and locked under its real name, so that a by-id link and the
    // ttyUSB name it points at are one device, not two free ones.
    const QString real = PortMapping::resolved(device);
    closeDrainingNow(real);

    auto *port = new QSerialPort(real, this);
    port->setObjectName(real);
    port->setBaudRate(QSerialPort::Baud1200);
    port->setDataBits(QSerialPort::Data8);
    port->setParity(QSerialPort::NoParity);
    port->setStopBits(QSerialPort::OneStop);
    port->setFlowControl(QSerialPort::NoFlowControl);
    port->setReadBufferSize(inBufferSize);
    const DeviceState state = openExclusive(port, QIODevice::ReadWrite, device);
    if (!port->isOpen()) {
        m_failure = state;
        m_error = port->error() == QSerialPort::NoError ? state.cause : port->errorString();
        m_cause = withRemedy(state, m_number);
        delete port;
        return false;
    }
    // A pseudo-terminal has no modem lines; the line works all the same.
    port->setDataTerminalReady(true);
    port->setRequestToSend(false);
    port->clearError();
    connect(port, &QSerialPort::errorOccurred, this, &QtSerialLink::onError);
    connect(port, &QSerialPort::readyRead, port, [port] { port->readAll(); });
    m_port = port;
    m_error.clear();
    m_cause.clear();
    m_failure = {};
    return true;
}

void QtSerialLink::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError
        || error == QSerialPort::UnsupportedOperationError || !m_port)
        return;
    // Qt keeps the port open and goes on accepting writes after a resource
    // error; close it now so that nothing more is sent into the void.
    QSerialPort *port = m_port;
    m_port = nullptr;
    // Qt words a hang-up from whatever errno last held (a read that returns
    // nothing sets none, so any earlier call's "File exists" may show): what
    // happened is that the device went away.
    m_error = error == QSerialPort::ResourceError || error == QSerialPort::ReadError
            ? QStringLiteral("设备已断开（数据线拔出或设备掉线）")
            : port->errorString();
    port->disconnect(this);
    port->close();
    port->deleteLater();
    emit failed(m_error);
}

void QtSerialLink::close()
{
    if (!m_port)
        return;
    QSerialPort *port = m_port;
    m_port = nullptr;
    port->disconnect(this);
    drainThenClose(port);
}

static int kernelBacklog(QSerialPort *port)
{
    int pending = 0;
    if (::ioctl(port->handle(), TIOCOUTQ, &pending) != 0)
        return 0;
    return pending;
}

// Closing at once would cut the frame on the wire in half and reset the line
// settings under the bytes still queued; let the queue run out first, without
// holding up the window.
void QtSerialLink::drainThenClose(QSerialPort *port)
{
    auto finish = [port] {
        closeWhole(port);
        port->deleteLater();
    };
    port->flush();
    if (port->bytesToWrite() == 0 && kernelBacklog(port) == 0) {
        finish();
        return;
    }
    m_draining.append(port);
    auto *poll = new QTimer(port);
    QElapsedTimer started;
    started.start();
    connect(poll, &QTimer::timeout, port, [port, finish, started] {
        if ((port->bytesToWrite() == 0 && kernelBacklog(port) == 0) || started.hasExpired(drainLimitMs))
            finish();
    });
    // Not once closed: close() on a closed port reports NotOpenError, which
    // would bring it back here without end (a write failing inside closeWhole).
    connect(port, &QSerialPort::errorOccurred, port, [port](QSerialPort::SerialPortError e) {
        if (port->isOpen() && e != QSerialPort::NoError && e != QSerialPort::TimeoutError
            && e != QSerialPort::UnsupportedOperationError) {
            port->close();
            port->deleteLater();
        }
    });
    poll->start(drainPollMs);
}

void QtSerialLink::closeDrainingNow(const QString &device)
{
    for (const auto &port : std::as_const(m_draining)) {
        if (port && port->isOpen() && port->objectName() == device) {
            closeWhole(port);
            port->deleteLater();
        }
    }
    m_draining.removeIf([](const QPointer<QSerialPort> &p) { return !p || !p->isOpen(); });
}

qint64 QtSerialLink::bytesQueued() const
{
    return m_port ? m_port->bytesToWrite() + kernelBacklog(m_port) : 0;
}

bool QtSerialLink::write(const QByteArray &text)
{
    if (!m_port) {
        m_error = QStringLiteral("串口未打开");
        return false;
    }
    if (m_port->write(text) != text.size()) {
        m_error = m_port->errorString();
        return false;
    }
    return true;
}
