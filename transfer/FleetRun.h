#pragma once

#include "AdapterIdentity.h"
#include "ChannelStore.h"
#include "LoadPlan.h"
#include "LoadResult.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QVector>

class PortList;
class SerialLink;
class TransferController;

// 连续传送: one plan into radio after radio, each load the window's own
// (TransferController, so each leaves its journal line with the radio's
// label and gets its verdict when the line has drained). Without a window.
//
// Every radio gets the plan the run started with: the rows stay locked for
// edits while the run lasts, and a file changed under it anyway ends the run,
// since the radios loaded after would hold another plan than those before.
//
// The run keeps to the cable it started on. When that is gone at the next
// load (pulled out, or the port failed), or another program holds it, the
// run waits, polling the device list, until the same adapter is back and
// free under whatever node; then it points the port at it and is ready. A
// load starts only on the operator's word (load()), never because a cable
// came back: whatever radio is on it then may not be the one meant.
class FleetRun : public QObject
{
    Q_OBJECT
public:
    struct Radio
    {
        QString label;
        QDateTime started;
        bool concluded = false;
        LoadResult result = LoadResult::Failed;
        QString cause;              // the first line of the verdict's message
        bool nothingSent = false;   // refused before its first frame
        qint64 elapsedMs = 0;       // from the operator's Enter to the verdict
    };
    enum class State { Ready, Loading, WaitingForCable, PortBusy, Ended };

    static const QString lockReason;   // what an edit is told while the run lasts

    // `plan` is what every radio of the run gets; `acknowledged`, its
    // warnings, accepted once for the whole run.
    FleetRun(TransferController *transfer, ChannelStore *store, SerialLink *port, const PortList *ports,
             const LoadPlan &plan, int acknowledged, QObject *parent = nullptr);
    ~FleetRun() override;

    QString checksum() const { return m_plan.checksum(); }
    QString adapter() const { return m_adapter.describe(); }
    State state() const { return m_state; }
    const QVector<Radio> &radios() const { return m_radios; }
    // Why the port would not open while the run waits for it.
    QString portCause() const { return m_portCause; }
    // The cable came back (or was let go) while the run waited: ready, say so.
    bool cableBack() const { return m_cableBack; }

    // The label an empty Enter gives: the last new label with its trailing
    // number counted up (巡逻09 → 巡逻10), else 电台 N.
    QString nextLabel() const;
    // The operator's Enter for the radio on the cable now: true when its load
    // started. When the cable is out or busy, the run waits for it (false);
    // the label is the operator's still. A label used before loads that radio again.
    bool load(const QString &label);
    // Breaks off the running load with `why`, or stops waiting for the cable.
    void stop(const QString &why);
    // The run is over: the plan may be edited again, later loads carry no label.
    void finish();

signals:
    void changed();
    // The file no longer holds the plan, or a load went unrecorded; no more
    // loads in this run.
    void ended(const QString &message);

private:
    void startLoad(const QString &label);
    void concluded(LoadResult result, const QString &message);
    State portState();
    void pointPortAt(const QString &device);
    void pollCable();
    void planMayHaveChanged();
    void checkPlan();
    void end(const QString &message);
    void setState(State state);

    QPointer<TransferController> m_transfer;
    QPointer<ChannelStore> m_store;
    QPointer<SerialLink> m_port;
    const PortList *m_ports;
    LoadPlan m_plan;
    int m_acknowledged;
    ChannelStore::Lock m_lock;
    AdapterIdentity m_adapter;
    QVector<Radio> m_radios;
    QString m_lastNew;           // the last label that was not a reload
    QString m_portCause;
    QString m_recordFailure;
    State m_state = State::Ready;
    QTimer m_cablePoll;
    QElapsedTimer m_clock;
    bool m_finished = false;
    bool m_cableBack = false;
    bool m_checkQueued = false;
    bool m_planChanged = false;
};
