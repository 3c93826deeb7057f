#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class ChannelCursor;
class ChannelStore;
class SerialLink;
class TransferSequence;

// One load of the radio from start to verdict, without a window: it checks
// the rows and the port, runs the sequence, keeps the rows from being changed
// while they go out, and ends every load it started with exactly one verdict
// and one line in the journal, whatever ends it.
//
// Done means drained: the last frame written is not the last frame sent. The
// verdict waits until the port's output queue, the driver's included, is
// empty, within the time the line needs for what is queued; a queue that does
// not drain is a failure with the bytes that did go out.
//
// The window asks the operator's questions first and shows what it reports.
class TransferController : public QObject
{
    Q_OBJECT
public:
    enum class Result { Done, Failed, Interrupted };
    Q_ENUM(Result)

    TransferController(ChannelCursor *cursor, SerialLink *port, QObject *parent = nullptr);

    TransferSequence *sequence() const { return m_sequence; }
    // Sending, or waiting for the line to send what was written.
    bool isRunning() const;
    int framesSent() const;
    // Bytes that have left the line so far: written, less what is still queued.
    qint64 bytesDrained() const;

    // The warnings among the rows a load sends, one line each, in the
    // operator's words; a load with any goes out only once acknowledged.
    QStringList warnings() const;

    // The radio the loads go into, as the operator labels it; the journal keeps it.
    void setRadio(const QString &label) { m_radio = label; }

    // Starts a load from row 1 with `acknowledged` warnings accepted; false,
    // reported and journaled, when the rows, pending edits or the port refuse it.
    bool start(int acknowledged = 0);
    // The port broke down: a running load stops and says so, else it is just said.
    void portFailed(const QString &cause);
    // The load is broken off (exit, a signal, the window going away): it is
    // journaled as interrupted, with `why`. Nothing happens when none runs.
    void interrupt(const QString &why);

signals:
    // Something to tell the operator: a refusal, a fault, the journal's failure.
    void report(const QString &message);
    // A started load has its verdict; `message` is empty when it is plainly done.
    void concluded(TransferController::Result result, const QString &message);
    void runningChanged(bool running);

private:
    void refuse(const QString &message);
    void sequenceStopped(const QString &message);
    void startDraining();
    void pollDrain();
    void conclude(Result result, const QString &message);
    QString fileChangedNote() const;
    void record(Result result, const QString &detail);

    ChannelCursor *m_cursor;
    ChannelStore *m_channels;
    SerialLink *m_port;
    TransferSequence *m_sequence;
    QTimer m_drainPoll;
    QElapsedTimer m_drainClock;
    QDateTime m_startedAt;
    QString m_radio;
    qint64 m_drainLimitMs = 0;
    bool m_active = false;      // a load is started and has no verdict yet
    bool m_started = false;     // its sequence started: it has frames to journal
    bool m_draining = false;
    int m_acknowledged = 0;
};
