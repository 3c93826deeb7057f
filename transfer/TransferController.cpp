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
    // Once a load: asking the system about the device walks its whole device
    // tree, and the device does not change within a load.
    m_device = m_ports ? DeviceIdentity::of(m_port->deviceName(), *m_ports).record()
                       : DeviceIdentity::of(m_port->deviceName(), QList<PortEntry>()).record();
    m_lastRecordId.clear();
    m_active = true;
    m_started = false;
    if (!plan.isSendable()) {
        conclude(LoadResult::Failed, plan.refusal());
        return false;
    }
    // A closed port refuses the load before a record of it is opened: the
    // sequence says why, and the refusal is journaled in one line.
    if (!m_port->isOpen())
        return m_sequence->start({});
    if (!openRecord())
        return false;
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
    const QString message = QStringLiteral("串口 %1（%2）出现故障，已关闭：%3")
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

void TransferController::conclude(LoadResult result, QString message)
{
    if (!m_active)
        return;
    m_active = false;
    const bool opened = !m_recordId.isEmpty();
    const QString unwritten = closeRecord(result, message);
    m_draining = false;
    m_drainPoll.stop();
    updateRunning();
    // Without its closing line a load is not done, whatever the radio got.
    if (!unwritten.isEmpty() && opened) {
        message = QStringLiteral("电台已收到 %1 帧，但传送记录没有写入：%2").arg(bytesDrained() / 16).arg(unwritten);
        result = result == LoadResult::Done ? LoadResult::Failed : result;
        emit recordFailed(unwritten);
    } else if (!unwritten.isEmpty()) {
        QMetaObject::invokeMethod(this, [this, unwritten] { emit report(unwritten); }, Qt::QueuedConnection);
    }
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

TransferJournal::Entry TransferController::record() const
{
    TransferJournal::Entry entry;
    entry.time = m_startedAt;
    entry.file = m_store->path();
    entry.device = m_device;
    entry.radio = m_radio;
    entry.frames = m_plan.bytes();
    entry.warnings = m_acknowledged;
    entry.id = m_recordId;
    return entry;
}

// No load without its record: the opening line is on the disk before the
// first byte, or nothing is sent and the operator hears why.
bool TransferController::openRecord()
{
    TransferJournal::Entry entry = record();
    QString error;
    if (TransferJournal::open(entry, &error)) {
        m_recordId = m_lastRecordId = entry.id;
        return true;
    }
    m_active = false;
    const QString refusal = error + QStringLiteral("。没有传送。");
    emit concluded(LoadResult::Failed, refusal);
    emit report(refusal + QStringLiteral("\n请腾出磁盘空间，或让这个文件可以写入，然后再传送。"));
    return false;
}

// The closing line, or, for a load refused before it began, its one line;
// the cause when it could not be written.
QString TransferController::closeRecord(LoadResult result, const QString &detail)
{
    TransferJournal::Entry entry = record();
    entry.result = result;
    entry.detail = detail.section(u'\n', 0, 0);
    entry.bytesDrained = m_recordId.isEmpty() ? 0 : bytesDrained();
    QString error;
    const bool written = m_recordId.isEmpty() ? TransferJournal::refuse(entry, &error) : TransferJournal::close(entry, &error);
    if (m_recordId.isEmpty())
        m_lastRecordId = entry.id;
    m_recordId.clear();
    return written ? QString() : error;
}
