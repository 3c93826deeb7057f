#include "TransferController.h"

#include "DeviceIdentity.h"
#include "SerialLink.h"
#include "TransferJournal.h"
#include "TransferSequence.h"

// How often the output queue is looked at while it drains, and what the line
// is allowed beyond its own speed (1200 baud, 10 bit times a byte) before a
// queue that has not emptied counts as stuck.
static const int drainPollMs = 50;
static const qint64 drainSlackMs = 1500;

static qint64 lineTimeMs(qint64 bytes)
{
    return bytes * 10 * 1000 / 1200;
}

TransferController::TransferController(ChannelStore *store, SerialLink *port, QObject *parent)
    : QObject(parent)
    , m_store(store)
    , m_port(port)
    , m_sequence(new TransferSequence(port, this))
{
    m_drainPoll.setInterval(drainPollMs);
    connect(&m_drainPoll, &QTimer::timeout, this, &TransferController::pollDrain);
    connect(m_sequence, &TransferSequence::stopped, this, &TransferController::sequenceStopped);
    connect(m_sequence, &TransferSequence::allWritten, this, &TransferController::startDraining);
    connect(m_sequence, &TransferSequence::runningChanged, this, &TransferController::sequenceRunning);
    connect(m_sequence, &TransferSequence::frameSent, this, &TransferController::frameSent);
    connect(m_sequence, &TransferSequence::progressChanged, this, &TransferController::progressChanged);
    connect(m_sequence, &TransferSequence::statusChanged, this, &TransferController::statusChanged);
}

bool TransferController::isRunning() const
{
    return m_sequence->isRunning() || m_draining;
}

bool TransferController::isSending() const
{
    return m_sequence->isRunning();
}

int TransferController::framesSent() const
{
    return m_sequence->framesSent();
}

qint64 TransferController::bytesDrained() const
{
    qint64 written = 0;
    const QVector<LoadPlan::Frame> &frames = m_plan.frames();
    for (int i = 0; i < framesSent() && i < frames.size(); ++i)
        written += frames.at(i).bytes.size();
    return std::max<qint64>(0, written - m_port->bytesQueued());
}

bool TransferController::start(const LoadPlan &plan, int acknowledged)
{
    if (isRunning())
        interrupt(QStringLiteral("重新开始传送"));
    m_plan = plan;
    m_acknowledged = acknowledged;
    m_startedAt = QDateTime::currentDateTime();
    m_active = true;
    m_started = false;
    if (!plan.isSendable()) {
        conclude(LoadResult::Failed, plan.refusal());
        return false;
    }
    QVector<QByteArray> frames;
    for (const LoadPlan::Frame &frame : plan.frames())
        frames << frame.bytes;
    if (!m_sequence->start(frames))
        return false;   // sequenceStopped() has said and journaled why
    m_started = true;
    m_lock = m_store->lock(QStringLiteral("正在传送数据，传送结束后才能修改信道表。"));
    updateRunning();
    return true;
}

// The rows may change again once the sequence no longer sends them.
void TransferController::sequenceRunning(bool running)
{
    if (!running)
        m_lock.release();
    emit sendingChanged(running);
    updateRunning();
}

void TransferController::sequenceStopped(const QString &message)
{
    conclude(LoadResult::Failed, message);
}

void TransferController::startDraining()
{
    m_draining = true;
    m_drainClock.start();
    m_drainLimitMs = lineTimeMs(m_port->bytesQueued()) + drainSlackMs;
    pollDrain();
    if (m_draining)
        m_drainPoll.start();
}

void TransferController::pollDrain()
{
    const qint64 queued = m_port->bytesQueued();
    if (queued == 0) {
        conclude(LoadResult::Done, fileChangedNote());
        return;
    }
    // Each byte that leaves gives the line more time; only a queue that stops moving fails.
    if (m_drainClock.hasExpired(m_drainLimitMs))
        conclude(LoadResult::Failed, QStringLiteral("数据没有全部送出：已送出 %1 字节，共 %2 字节")
                                             .arg(bytesDrained())
                                             .arg(m_plan.bytes().size()));
}

void TransferController::portFailed(const QString &cause)
{
    const QString message = QStringLiteral("串行端口 %1（%2）出现故障，已关闭：%3")
                                    .arg(m_port->portNumber())
                                    .arg(m_port->deviceName(), cause);
    if (m_sequence->isRunning())
        m_sequence->abort(message + QStringLiteral("\n数据传送已停止。"));
    else if (m_draining)
        conclude(LoadResult::Failed, message);
    else
        emit report(message);
}

void TransferController::interrupt(const QString &why)
{
    if (!isRunning())
        return;
    m_sequence->stop();
    conclude(LoadResult::Interrupted, why + u'\n' + TransferSequence::sentSoFar(framesSent()));
}

void TransferController::conclude(LoadResult result, const QString &message)
{
    if (!m_active)
        return;
    m_active = false;
    record(result, message);
    m_draining = false;
    m_drainPoll.stop();
    updateRunning();
    emit concluded(result, message);
    // Breaking off was the operator's (or the system's) own doing.
    if (!message.isEmpty() && result != LoadResult::Interrupted)
        emit report(message);
}

void TransferController::updateRunning()
{
    if (m_running == isRunning())
        return;
    m_running = isRunning();
    emit runningChanged(m_running);
}

// The radio got the plan as it was at the start; if the file holds another
// now (the store follows it), the operator should know which one the radio has.
QString TransferController::fileChangedNote() const
{
    if (prepare().bytes() == m_plan.bytes())
        return QString();
    return QStringLiteral("传送期间文件已改动，电台收到的是开始传送时的信道表");
}

void TransferController::record(LoadResult result, const QString &detail)
{
    TransferJournal::Entry entry;
    entry.time = m_startedAt;
    entry.file = m_store->path();
    entry.device = DeviceIdentity::describe(m_port->deviceName());
    entry.radio = m_radio;
    entry.frames = m_started ? m_plan.bytes() : QByteArray();
    entry.framesSent = m_started ? framesSent() : 0;
    entry.bytesDrained = m_started ? bytesDrained() : 0;
    entry.warnings = m_acknowledged;
    entry.result = result;
    entry.detail = detail.section(u'\n', 0, 0);
    QString error;
    if (!TransferJournal::append(entry, &error))
        QMetaObject::invokeMethod(this, [this, error] { emit report(error); }, Qt::QueuedConnection);
}
