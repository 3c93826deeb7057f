#include "Loopback.h"

#include "ExclusiveOpen.h"
#include "PortMapping.h"

#include <QCoreApplication>
#include <QSerialPort>
#include <QTimer>

static const char16_t joinPins[] =
        u"数据线的发送端和接收端是否已短接（DB9 的 2 脚和 3 脚，或电台插头的 TX 和 RX）";

QByteArray Loopback::pattern()
{
    QByteArray bytes;
    for (int bit = 0; bit < 8; ++bit) {
        bytes.append(char(1 << bit));
        bytes.append(char(~(1 << bit)));
    }
    for (const unsigned char b : { 0x00, 0xFF, 0x55, 0xAA, 0x33, 0xCC, 0x0F, 0xF0,
                                   0x11, 0x22, 0x44, 0x88, 0xEE, 0xDD, 0xBB, 0x77 })
        bytes.append(char(b));
    return bytes;
}

Loopback::Loopback(QObject *parent)
    : QObject(parent)
{
    m_wait.setSingleShot(true);
    m_wait.setInterval(echoWaitMs);
    connect(&m_wait, &QTimer::timeout, this, &Loopback::timedOut);
    // The dialog that runs the test outlives a window ended by a signal.
    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
            if (m_port)
                m_port->close();
        });
}

Loopback::~Loopback()
{
    delete m_port;
}

bool Loopback::isRunning() const
{
    return m_port != nullptr;
}

void Loopback::start(const QString &device)
{
    if (m_port)
        return;
    m_echo.clear();
    m_port = new QSerialPort(PortMapping::resolved(device));
    m_port->setBaudRate(QSerialPort::Baud1200);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    const DeviceState state = openExclusive(m_port, QIODevice::ReadWrite, device);
    if (!m_port->isOpen()) {
        const QString cause = state.cause.isEmpty() ? m_port->errorString() : state.cause;
        // Reported from the event loop, as every other result is.
        QTimer::singleShot(0, this, [this, device, cause] {
            finish(CannotOpen, QStringLiteral("不能打开 %1：%2").arg(device, cause));
        });
        return;
    }
    m_port->clear();
    connect(m_port, &QSerialPort::readyRead, this, &Loopback::received);
    connect(m_port, &QSerialPort::bytesWritten, this, [this] { m_wait.start(); });
    m_port->write(pattern());
    m_wait.start();
}

void Loopback::received()
{
    m_echo += m_port->readAll();
    const QByteArray sent = pattern();
    const int n = int(qMin(m_echo.size(), sent.size()));
    if (m_echo.left(n) != sent.left(n))
        return timedOut();
    if (m_echo.size() >= sent.size())
        finish(Passed, QStringLiteral("数据线正常：发出的 %1 个字节全部原样收回。").arg(sent.size()));
}

void Loopback::timedOut()
{
    const QByteArray sent = pattern();
    if (m_echo.isEmpty()) {
        finish(NoEcho, QStringLiteral("没有回波：发出 %1 个字节，一个也没有收回。\n请检查：%2；"
                                      "选的设备是否就是这根数据线；USB 数据线是否插好。")
                               .arg(sent.size())
                               .arg(QString::fromUtf16(joinPins)));
        return;
    }
    int first = 0;
    while (first < m_echo.size() && first < sent.size() && m_echo[first] == sent[first])
        ++first;
    finish(Garbled, QStringLiteral("回波有误：发出 %1 个字节，收回 %2 个，从第 %3 个起不符。\n"
                                   "请检查：是否有别的程序同时在用这个设备；短接是否牢靠；"
                                   "USB 数据线（特别是仿制芯片的）是否可靠，可换一根试试。")
                            .arg(sent.size())
                            .arg(m_echo.size())
                            .arg(first + 1));
}

void Loopback::finish(Result result, const QString &message)
{
    m_wait.stop();
    if (m_port) {
        m_port->disconnect(this);
        m_port->close();
        m_port->deleteLater();
        m_port = nullptr;
    }
    emit finished(result, message);
}
