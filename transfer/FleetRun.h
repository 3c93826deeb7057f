#pragma once

#include "DeviceIdentity.h"
#include "ChannelStore.h"
#include "FleetLabels.h"
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
// Every radio gets the run's plan: the rows stay locked for edits while the
// run lasts. When the file holds another plan anyway (another program changed
// it), the run pauses between radios: the loads after it would differ from
// those before, so it goes on only when the operator has seen the change and
// said so (continueWithNewPlan()), and the run's table marks where. A radio
// being loaded when the file changes gets the plan its load started with.
//
// The run keeps to the cable it started on. When that is gone at the next
// load (pulled out, or the port failed), or another program holds it, the
// run waits, polling the device list, until the same adapter is back and
// free under whatever node; then it points the port at it and is ready. A
// load starts only on the operator's word (load()), never because a cable
// came back or a load ended: whatever radio is on the cable then may not be
// the one meant. Labels entered meanwhile wait in labels().
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
        QString record;             // the load's name in the journal; empty when it has no line
    };
    // A line of the run's table, in the order things happened.
    struct Event
    {
        enum class Kind { Load, PlanChange, Note };
        Kind kind = Kind::Note;
        QDateTime time;
        int radio = -1;   // Load: its index in radios()
        QString text;     // PlanChange and Note: what happened
    };
    enum class State { Ready, Loading, WaitingForCable, PortBusy, PlanChanged, Ended };

    static const QString lockReason;   // what an edit is told while the run lasts

    // `plan` is what every radio of the run gets; `acknowledged`, its
    // warnings, accepted once for the whole run.
    FleetRun(TransferController *transfer, ChannelStore *store, SerialLink *port, const PortList *ports,
             const LoadPlan &plan, int acknowledged, QObject *parent = nullptr);
    ~FleetRun() override;

    QString checksum() const { return m_plan.checksum(); }
    const LoadPlan &plan() const { return m_plan; }
    // PlanChanged: what the file holds now, refused (and why) when it may not go out.
    const LoadPlan &newPlan() const { return m_newPlan; }
    QString adapter() const { return m_adapter.describe(); }
    State state() const { return m_state; }
    const QVector<Radio> &radios() const { return m_radios; }
    const QVector<Event> &events() const { return m_events; }
    const FleetLabels &labels() const { return m_labels; }
    void setList(const QStringList &labels);
    // Why the port would not open while the run waits for it.
    QString portCause() const { return m_portCause; }
    // The cable came back (or was let go) while the run waited: ready, say so.
    bool cableBack() const { return m_cableBack; }

    // The label an empty Enter gives (FleetLabels::next()).
    QString nextLabel() const { return m_labels.next(); }
    // The operator's Enter for the radio on the cable now: true when its load
    // started. During a load the label is queued for the radio after it; when
    // the cable is out or busy, the run waits for it; while the plan change
    // waits for the operator, or an empty Enter has no label to give (a list
    // done), nothing happens. False in each case: the label is the
    // operator's still. A label used before loads that radio again.
    bool load(const QString &label);
    // Breaks off the running load with `why`, its label offered again; or
    // stops waiting for the cable.
    void stop(const QString &why);
    // The operator has seen the change and its warnings: the radios from now
    // on get the new plan. False when it may not go out, or when the file has
    // changed again since the plan with `checksum` was shown.
    bool continueWithNewPlan(const QString &checksum, int acknowledged);
    // Something that happened beside the loads (a port fault, a cable
    // pulled), for the run's table.
    void note(const QString &text);
    // The run is over: the plan may be edited again, later loads carry no label.
    void finish();

signals:
    void changed();
    // The load of radios()[radio] has its verdict.
    void concluded(int radio);
    // A load went unrecorded: no more loads in this run.
    void ended(const QString &message);

private:
    void startLoad(const QString &label);
    void loadConcluded(LoadResult result, const QString &message);
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
    LoadPlan m_newPlan;
    int m_acknowledged;
    ChannelStore::Lock m_lock;
    DeviceIdentity m_adapter;
    QVector<Radio> m_radios;
    QVector<Event> m_events;
    FleetLabels m_labels;
    QString m_portCause;
    QString m_recordFailure;
    State m_state = State::Ready;
    QTimer m_cablePoll;
    QElapsedTimer m_clock;
    bool m_finished = false;
    bool m_cableBack = false;
    bool m_checkQueued = false;
    bool m_planChanged = false;
    bool m_stopping = false;     // the operator broke the running load off
};
