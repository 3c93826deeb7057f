#include "TransferController.h"

#include "ChannelCursor.h"
#include "DeviceIdentity.h"
#include "PlanCheck.h"
#include "SerialLink.h"
#include "TransferJournal.h"
#include "TransferPlan.h"
#include "TransferSequence.h"

// How often the output queue is looked at while it drains, and what the line
// is allowed beyond its own speed (1200 baud, 10 bit times a byte) before a
// queue that has not emptied counts as stuck.
static const int drainPollMs = 50;
static const qint64 drainSlackMs = 1500;

static_assert(int(TransferController::Result::Interrupted) == int(TransferJournal::Result::Interrupted)
              && int(TransferController::Result::Failed) == int(TransferJournal::Result::Failed));

static qint64 lineTimeMs(qint64 bytes)
{
    return bytes * 10 * 1000 / 1200;
}

TransferController::TransferController(ChannelCursor *cursor, SerialLink *port, QObject *parent)
    : QObject(parent)
    , m_cursor(cursor)
    , m_channels(cursor->channels())
    , m_port(port)
    , m_sequence(new TransferSequence(cursor, port, this))
{
    m_drainPoll.setInterval(drainPollMs);
    connect(&m_drainPoll, &QTimer::timeout, this, &TransferController::pollDrain);
    connect(m_sequence, &TransferSequence::stopped, this, &TransferController::sequenceStopped);
    connect(m_sequence, &TransferSequence::allWritten, this, &TransferController::startDraining);
    // The rows may change again once the transfer no longer walks them.
    connect(m_sequence, &TransferSequence::finished, this, [this] { m_channels->setBusy(QString()); });
}

bool TransferController::isRunning() const
{
    return m_sequence->isRunning() || m_draining;
}

int TransferController::framesSent() const
{
    return m_sequence->framesSent();
}

qint64 TransferController::bytesDrained() const
{
    qint64 written = 0;
    const QVector<QByteArray> frames = m_sequence->plannedFrames();
    for (int i = 0; i < framesSent() && i < frames.size(); ++i)
        written += frames.at(i).size();
    return std::max<qint64>(0, written - m_port->bytesQueued());
}

QStringList TransferController::warnings() const
{
    QStringList lines;
    for (const PlanFinding &finding : PlanCheck::check(*m_channels, TransferPlan::rowsSent))
        if (!finding.error)
            lines << PlanCheck::describe(finding, *m_channels);
    return lines;
}

bool TransferController::start(int acknowledged)
{
    if (isRunning())
        interrupt(QStringLiteral("重新开始传送"));
    // What would go out is what the grid shows, not what the file holds.
    if (m_channels->unsavedCount() > 0) {
        refuse(QStringLiteral("有 %1 处修改还没有写入文件 %2：%3\n数据没有传送。")
                       .arg(m_channels->unsavedCount())
                       .arg(m_channels->fileName(), m_channels->saveError()));
        return false;
    }
    m_acknowledged = acknowledged;
    m_startedAt = QDateTime::currentDateTime();
    m_active = true;
    m_started = false;
    if (!m_sequence->start())
        return false;   // sequenceStopped() has said and journaled why
    m_started = true;
    m_channels->setBusy(QStringLiteral("正在传送数据，传送结束后才能修改信道表。"));
    emit runningChanged(true);
    return true;
}

void TransferController::refuse(const QString &message)
{
    m_startedAt = QDateTime::currentDateTime();
    m_active = true;
    m_started = false;
    conclude(Result::Failed, message);
}

void TransferController::sequenceStopped(const QString &message)
{
    m_channels->setBusy(QString());
    conclude(Result::Failed, message);
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
        conclude(Result::Done, fileChangedNote());
        return;
    }
    // Each byte that leaves gives the line more time; only a queue that stops moving fails.
    if (m_drainClock.hasExpired(m_drainLimitMs))
        conclude(Result::Failed, QStringLiteral("数据没有全部送出：已送出 %1 字节，共 %2 字节")
                                         .arg(bytesDrained())
                                         .arg(m_sequence->planned().size()));
}

void TransferController::portFailed(const QString &cause)
{
    const QString message = QStringLiteral("串行端口 %1（%2）出现故障，已关闭：%3")
                                    .arg(m_port->portNumber())
                                    .arg(m_port->deviceName(), cause);
    if (m_sequence->isRunning())
        m_sequence->abort(message + QStringLiteral("\n数据传送已停止。"));
    else if (m_draining)
        conclude(Result::Failed, message);
    else
        emit report(message);
}

void TransferController::interrupt(const QString &why)
{
    if (!isRunning())
        return;
    m_sequence->stop();
    m_channels->setBusy(QString());
    conclude(Result::Interrupted, why + u'\n' + TransferSequence::sentSoFar(framesSent()));
}

void TransferController::conclude(Result result, const QString &message)
{
    if (!m_active)
        return;
    m_active = false;
    record(result, message);
    m_draining = false;
    m_drainPoll.stop();
    emit runningChanged(isRunning());
    emit concluded(result, message);
    // Breaking off was the operator's (or the system's) own doing.
    if (!message.isEmpty() && result != Result::Interrupted)
        emit report(message);
}

// The radio got the plan as it was at the start; if the file holds another
// now, the operator should know which one the radio has.
QString TransferController::fileChangedNote() const
{
    if (m_channels->kind() != ChannelFileKind::SQLite)
        return QString();
    ChannelStore now;
    now.open(m_channels->path());
    if (TransferSequence::plan(&now) == m_sequence->plannedFrames())
        return QString();
    return QStringLiteral("传送期间文件已改动，电台收到的是开始传送时的信道表");
}

void TransferController::record(Result result, const QString &detail)
{
    TransferJournal::Entry entry;
    entry.time = m_startedAt;
    entry.file = m_channels->path();
    entry.device = DeviceIdentity::describe(m_port->deviceName());
    entry.radio = m_radio;
    entry.frames = m_started ? m_sequence->planned() : QByteArray();
    entry.framesSent = m_started ? framesSent() : 0;
    entry.bytesDrained = m_started ? bytesDrained() : 0;
    entry.warnings = m_acknowledged;
    entry.result = TransferJournal::Result(int(result));   // the same three, in the same order
    entry.detail = detail.section(u'\n', 0, 0);
    QString error;
    if (!TransferJournal::append(entry, &error))
        QMetaObject::invokeMethod(this, [this, error] { emit report(error); }, Qt::QueuedConnection);
}
