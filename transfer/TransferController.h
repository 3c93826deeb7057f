#pragma once

#include <QObject>
#include <QString>

class ChannelCursor;
class ChannelStore;
class SerialLink;
class TransferJournal;
class TransferSequence;

// One load of the radio from start to verdict, without a window: it checks
// the rows and the port, runs the sequence, keeps the rows from being changed
// while they go out, stops on a port fault and leaves a line in the journal.
// The window asks the operator's questions first and shows what it reports.
class TransferController : public QObject
{
    Q_OBJECT
public:
    TransferController(ChannelCursor *cursor, SerialLink *port, QObject *parent = nullptr);

    TransferSequence *sequence() const { return m_sequence; }
    bool isRunning() const;

    // Starts a load from row 1; false, reported through stopped(), when the
    // rows or the port refuse it.
    bool start();
    // The port broke down: a running load stops and says so, else it is just said.
    void portFailed(const QString &cause);
    // The window or the program is going away: no frame after this.
    void stop();

signals:
    // Something to tell the operator: a refusal, a fault, the journal's failure.
    void report(const QString &message);

private:
    void idle();

    ChannelStore *m_channels;
    SerialLink *m_port;
    TransferSequence *m_sequence;
    TransferJournal *m_journal;
};
