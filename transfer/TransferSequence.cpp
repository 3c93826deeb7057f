#include "TransferSequence.h"

#include "SerialLink.h"
#include "SystemCause.h"

const QString TransferSequence::sendingText = QStringLiteral("正在传送数据,,,,,,,");
const QString TransferSequence::finishedText = QStringLiteral("数据传送完毕!!!");

TransferSequence::TransferSequence(SerialLink *port, QObject *parent)
    : QObject(parent)
    , m_port(port)
{
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(intervalMs);
    // A precise timer schedules each tick from the previous due time, so frame k
    // leaves about k x 100 ms after the start however late single ticks run.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &TransferSequence::tick);
}

QString TransferSequence::portName() const
{
    return QStringLiteral("串口 %1（%2）").arg(m_port->portNumber()).arg(m_port->deviceName());
}

bool TransferSequence::start(const QVector<QByteArray> &frames)
{
    if (!m_port->isOpen()) {
        abort(QStringLiteral("%1未打开，数据没有传送。\n请在“选择端口”中选择串口。").arg(portName()));
        return false;
    }
    // Every start is a whole transfer: restarting from the counter of a running
    // one would skip rows and still report them sent.
    m_counter = 0;
    m_sent = 0;
    m_frames = frames;
    setStatus(sendingText);
    const bool wasRunning = isRunning();
    m_timer.start();
    if (!wasRunning)
        emit runningChanged(true);
    return true;
}

void TransferSequence::tick()
{
    // A tick already queued when the transfer stopped must not send.
    if (!m_timer.isActive())
        return;
    if (m_counter < sendBelow) {
        if (m_sent == m_frames.size()) {
            // A shorter table: everything there is went out.
            m_counter = finishedFrom;
            setProgress(finishedFrom);
        } else {
            send();
            if (!m_timer.isActive())
                return;
        }
    }
    if (m_counter >= finishedFrom)
        setStatus(finishedText);
    m_counter += step;
    if (m_counter == endAt) {
        reset();
        emit finished();
    }
}

void TransferSequence::send()
{
    if (!m_port->write(m_frames.at(m_sent))) {
        abort(QStringLiteral("%1写入失败，数据传送已停止：%2")
                      .arg(portName(), SystemCause::inChinese(m_port->errorString())));
        return;
    }
    ++m_sent;
    emit frameSent(m_sent - 1);
    if (m_sent == m_frames.size())
        emit allWritten();
    setProgress(m_counter);
}

QString TransferSequence::sentSoFar(int sent)
{
    if (sent == 0)
        return QStringLiteral("没有发送任何帧");
    if (sent == 1)
        return QStringLiteral("已发送 1 帧（第 1 行），其余未发送");
    return QStringLiteral("已发送 %1 帧（第 1–%1 行），其余未发送").arg(sent);
}

void TransferSequence::abort(const QString &message)
{
    const bool running = isRunning();
    reset();
    emit stopped(running ? message + u'\n' + sentSoFar(m_sent) : message);
}

void TransferSequence::stop()
{
    if (isRunning())
        reset();
}

void TransferSequence::reset()
{
    const bool wasRunning = isRunning();
    m_timer.stop();
    setStatus(QString());
    setProgress(0);
    m_counter = 0;
    if (wasRunning)
        emit runningChanged(false);
}

void TransferSequence::setStatus(const QString &text)
{
    m_status = text;
    emit statusChanged(text);
}

void TransferSequence::setProgress(int value)
{
    m_progress = value;
    emit progressChanged(value);
}
