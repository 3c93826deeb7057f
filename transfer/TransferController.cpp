#include "TransferController.h"

#include "ChannelCursor.h"
#include "SerialLink.h"
#include "TransferJournal.h"
#include "TransferSequence.h"

TransferController::TransferController(ChannelCursor *cursor, SerialLink *port, QObject *parent)
    : QObject(parent)
    , m_channels(cursor->channels())
    , m_port(port)
    , m_sequence(new TransferSequence(cursor, port, this))
    , m_journal(new TransferJournal(m_sequence, [this] { return m_channels->path(); }, this))
{
    connect(m_sequence, &TransferSequence::stopped, this, &TransferController::report);
    // Said after the tick that failed to write it, not from inside it.
    connect(m_journal, &TransferJournal::writeFailed, this, &TransferController::report, Qt::QueuedConnection);
    // The rows may change again once the transfer no longer walks them.
    connect(m_sequence, &TransferSequence::finished, this, &TransferController::idle);
    connect(m_sequence, &TransferSequence::stopped, this, &TransferController::idle);
}

bool TransferController::isRunning() const
{
    return m_sequence->isRunning();
}

bool TransferController::start()
{
    if (!m_sequence->start())
        return false;
    m_channels->setBusy(QStringLiteral("正在传送数据，传送结束后才能修改信道表。"));
    return true;
}

void TransferController::idle()
{
    m_channels->setBusy(QString());
}

void TransferController::portFailed(const QString &cause)
{
    const QString message = QStringLiteral("串行端口 %1（%2）出现故障，已关闭：%3")
                                    .arg(m_port->portNumber())
                                    .arg(m_port->deviceName(), cause);
    if (m_sequence->isRunning())
        m_sequence->abort(message + QStringLiteral("\n数据传送已停止。"));
    else
        emit report(message);
}

void TransferController::stop()
{
    m_sequence->stop();
    idle();
}
