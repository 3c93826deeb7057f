#include "TransferSequence.h"

#include "SystemCause.h"

#include "ChannelCursor.h"
#include "FieldValue.h"
#include "SerialLink.h"
#include "ChannelFrame.h"
#include "RowCheck.h"

const QString TransferSequence::sendingText = QStringLiteral("正在传送数据,,,,,,,");
const QString TransferSequence::finishedText = QStringLiteral("数据传送完毕!!!");

TransferSequence::TransferSequence(ChannelCursor *cursor, SerialLink *port, QObject *parent)
    : QObject(parent)
    , m_cursor(cursor)
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
    return QStringLiteral("串行端口 %1（%2）").arg(m_port->portNumber()).arg(m_port->deviceName());
}

QString TransferSequence::checkTable(ChannelStore *channels, int *badRow)
{
    if (badRow)
        *badRow = -1;
    if (!channels->isOpen())
        return QStringLiteral("信道数据库 %1 未打开，无法传送数据。").arg(channels->fileName());
    if (!channels->staleReason().isEmpty())
        return channels->staleReason() + QStringLiteral("\n数据没有传送。");
    if (!channels->rowAt(0))
        return QStringLiteral("信道表中没有数据，无法传送。");
    // Every row that cannot be sent, so that one look mends them all.
    QStringList bad;
    for (int row = 0; row < TransferPlan::rowsSent; ++row) {
        const ChannelRow *values = channels->rowAt(row);
        if (!values)
            break;
        const RowVerdict verdict = checkRow(*values);
        if (verdict.sendable())
            continue;
        if (badRow && bad.isEmpty())
            *badRow = row;
        QStringList problems;
        for (const QString &problem : verdict.problems)
            if (!problem.isEmpty())
                problems << problem;
        bad << QStringLiteral("第 %1 行（记录编号 %2）：%3")
                        .arg(row + 1)
                        .arg(FieldValue::fieldText((*values)[ChannelFields::Record]), problems.join(QStringLiteral("；")));
    }
    if (!bad.isEmpty())
        return bad.join(u'\n') + QStringLiteral("\n数据没有传送。");
    if (!channels->readError().isEmpty())
        return QStringLiteral("信道数据库 %1 读取失败：%2\n数据没有传送。")
                .arg(channels->fileName(), channels->readError());
    return QString();
}

bool TransferSequence::start()
{
    int badRow = -1;
    QString problem = checkTable(m_cursor->channels(), &badRow);
    if (problem.isEmpty() && !m_port->isOpen())
        problem = QStringLiteral("%1未打开，数据没有传送。\n请在“选择端口”中选择端口。").arg(portName());
    if (!problem.isEmpty()) {
        abort(problem);
        // Where the mending starts.
        if (badRow > 0)
            m_cursor->setCurrentIndex(m_cursor->model()->index(badRow, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return false;
    }
    // Every start is a whole transfer: restarting from the counter of a running
    // one would skip rows and still report them sent.
    m_counter = 0;
    m_sent = 0;
    m_frames = plan(m_cursor->channels());
    m_expected = int(m_frames.size());
    m_cursor->moveFirst();
    setStatus(sendingText);
    m_timer.start();
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
            const QByteArray &frame = m_frames.at(m_sent);
            if (!m_port->write(frame)) {
                abort(QStringLiteral("%1写入失败，数据传送已停止：%2")
                              .arg(portName(), SystemCause::inChinese(m_port->errorString())));
                return;
            }
            ++m_sent;
            emit frameSent(m_sent - 1, QString::fromLatin1(frame));
            if (m_sent == m_frames.size())
                emit allWritten();
            m_cursor->moveNext();
            setProgress(m_counter);
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

// The frames of the rows a transfer sends, read once at its start: the radio
// gets one plan, whatever other programs or the operator do to the file
// while it goes out. checkTable() has passed on these rows.
QVector<QByteArray> TransferSequence::plan(ChannelStore *channels)
{
    QVector<QByteArray> frames;
    for (int row = 0; row < TransferPlan::rowsSent; ++row) {
        const ChannelRow *values = channels->rowAt(row);
        if (!values)
            break;
        frames << ChannelFrame::encode(*values).text().toLatin1();
    }
    return frames;
}

QByteArray TransferSequence::planned() const
{
    QByteArray bytes;
    for (const QByteArray &frame : m_frames)
        bytes += frame;
    return bytes;
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
    m_timer.stop();
    setStatus(QString());
    setProgress(0);
    m_cursor->moveFirst();
    m_counter = 0;
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
