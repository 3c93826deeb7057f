#pragma once

#include "BandProfile.h"
#include "ChannelStore.h"
#include "LoadPlan.h"
#include "LoadResult.h"
#include "TransferJournal.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

class PortList;
class SerialLink;
class TransferSequence;

// One load of the radio from start to verdict, without a window: it works out
// the plan a load would send (prepare()), sends a plan it is given, keeps the
// rows from being changed while they go out, and ends every load it started
// with exactly one verdict and one line in the journal, whatever ends it.
//
// Done means drained: the last frame written is not the last frame sent. The
// verdict waits until the port's output queue, the driver's included, is
// empty, within the time the line needs for what is queued; a queue that does
// not drain is a failure with the bytes that did go out.
//
// The window asks the operator's questions from the plan and shows what the
// controller reports; where the grid's cursor stands while frames go out it
// learns from frameSent().
class TransferController : public QObject
{
    Q_OBJECT
public:
    TransferController(ChannelStore *store, SerialLink *port, QObject *parent = nullptr);

    // The band plan loads are checked against.
    void setBand(const BandProfile &band) { m_band = band; }
    const BandProfile &band() const { return m_band; }
    // What a load would send now, and what there is to say about it.
    LoadPlan prepare() const { return LoadPlan::of(*m_store, m_band); }

    // Sending, or waiting for the line to send what was written.
    bool isRunning() const;
    // The frames go out, or the idle tail after them runs.
    bool isSending() const;
    // The running (or last) load: its plan, and how far it got.
    const LoadPlan &plan() const { return m_plan; }
    int framesSent() const;
    int framesPlanned() const { return int(m_plan.frames().size()); }
    // Bytes that have left the line so far: written, less what is still queued.
    qint64 bytesDrained() const;

    // The serial devices present, which tell a USB adapter's ids for the
    // journal; without a list the journal names the device by its path.
    void setPortList(const PortList *ports) { m_ports = ports; }

    // The radio the loads go into, as the operator labels it; the journal keeps it.
    void setRadio(const QString &label) { m_radio = label; }
    // The name the journal gives the running (or last) load; empty when it has no line.
    QString recordId() const { return m_lastRecordId; }

    // Starts a load of `plan` from row 1, with `acknowledged` warnings
    // accepted; false, reported and journaled, when the plan is refused or the
    // port is not open. A running load is broken off first.
    bool start(const LoadPlan &plan, int acknowledged = 0);
    // The port broke down: a running load stops and says so, else it is just said.
    void portFailed(const QString &cause);
    // The load is broken off (exit, a signal, the window going away): it is
    // journaled as interrupted, with `why`. Nothing happens when none runs.
    void interrupt(const QString &why);

signals:
    // The frames start going out, or the sequence is back at rest.
    void sendingChanged(bool sending);
    void frameSent(int row);
    void progressChanged(int value);
    void statusChanged(const QString &text);
    // Something to tell the operator: a refusal, a fault, the journal's failure.
    void report(const QString &message);
    // A started load has its verdict; `message` is empty when it is plainly done.
    void concluded(LoadResult result, const QString &message);
    void runningChanged(bool running);
    // A load's closing line could not be written: nothing may follow it
    // unrecorded (a fleet run stops).
    void recordFailed(const QString &cause);

private:
    void sequenceStopped(const QString &message);
    void sequenceRunning(bool running);
    void startDraining();
    void pollDrain();
    void conclude(LoadResult result, QString message);
    void updateRunning();
    QString fileChangedNote() const;
    TransferJournal::Entry record() const;
    bool openRecord();
    QString closeRecord(LoadResult result, const QString &detail);

    ChannelStore *m_store;
    SerialLink *m_port;
    TransferSequence *m_sequence;
    BandProfile m_band;
    LoadPlan m_plan;
    ChannelStore::Lock m_lock;
    QTimer m_drainPoll;
    QElapsedTimer m_drainClock;
    QDateTime m_startedAt;
    QString m_radio;
    QString m_device;           // the running load's device, as the journal names it
    const PortList *m_ports = nullptr;
    QString m_recordId;         // the running load's opening line in the journal
    QString m_lastRecordId;
    qint64 m_drainLimitMs = 0;
    bool m_active = false;      // a load is started and has no verdict yet
    bool m_started = false;     // its sequence started: it has frames to journal
    bool m_draining = false;
    bool m_running = false;     // as last announced
    int m_acknowledged = 0;
};
