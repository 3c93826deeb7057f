#pragma once

#include "AdapterIdentity.h"
#include "TransferController.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVector>

class ChannelStore;
class PortList;
class SerialLink;

// 连续传送: one plan into radio after radio, each load the window's own
// (TransferController, so each leaves its journal line with the radio's
// label and gets its verdict when the line has drained). Without a window.
//
// The plan is the one the file held at the start: the rows stay locked for
// edits while the run lasts, and a file changed under it anyway ends the run,
// since the radios loaded after would hold another plan than those before.
//
// The run keeps to the cable it started on. When that is gone at the next
// load (pulled out, or the port failed), it waits, polling the device list,
// until the same adapter is back under whatever node, points the port at it
// and loads; nothing is failed meanwhile.
class FleetRun : public QObject
{
    Q_OBJECT
public:
    struct Radio
    {
        QString label;
        QDateTime started;          // when its load started; invalid while it waits for the cable
        bool concluded = false;
        TransferController::Result result = TransferController::Result::Failed;
        QString cause;              // the first line of the verdict's message
        qint64 elapsedMs = 0;       // from the operator's Enter to the verdict
    };
    enum class State { Ready, Loading, WaitingForCable, Ended };

    static const QString lockReason;   // what an edit is told while the run lasts

    // `acknowledged`: the plan's warnings, accepted once for the whole run.
    FleetRun(TransferController *transfer, ChannelStore *channels, SerialLink *port, const PortList *ports,
             int acknowledged, QObject *parent = nullptr);
    ~FleetRun() override;

    QString checksum() const;   // of the plan the run loads, as --check shows it
    QString adapter() const { return m_adapter.describe(); }
    State state() const { return m_state; }
    const QVector<Radio> &radios() const { return m_radios; }
    // Why the port would not open while the run waits for the cable.
    QString portCause() const { return m_portCause; }

    // The label an empty Enter gives: the last new label with its trailing
    // number counted up (巡逻09 → 巡逻10), else 电台 N.
    QString nextLabel() const;
    // The operator's Enter for the radio on the cable now; false when a load
    // runs or the run is over. A label used before loads that radio again.
    bool load(const QString &label);
    // Breaks off the running load with `why`, or stops waiting for the cable.
    void stop(const QString &why);
    // The run is over: the plan may be edited again, later loads carry no label.
    void finish();

signals:
    void changed();
    // The file no longer holds the plan; no more loads in this run.
    void ended(const QString &message);

private:
    void startLoad();
    void concluded(TransferController::Result result, const QString &message);
    bool portReady();
    void pointPortAt(const QString &device);
    void pollCable();
    void planMayHaveChanged();
    void checkPlan();
    void end(const QString &message);
    void lock();
    void setState(State state);

    QPointer<TransferController> m_transfer;
    QPointer<ChannelStore> m_channels;
    QPointer<SerialLink> m_port;
    const PortList *m_ports;
    int m_acknowledged;
    QByteArray m_plan;
    AdapterIdentity m_adapter;
    QVector<Radio> m_radios;
    QString m_lastNew;           // the last label that was not a reload
    QString m_portCause;
    State m_state = State::Ready;
    QTimer m_cablePoll;
    QElapsedTimer m_clock;
    bool m_locked = true;
    bool m_checkQueued = false;
    bool m_planChanged = false;
};
