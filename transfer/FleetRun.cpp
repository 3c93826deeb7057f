#include "FleetRun.h"

#include "PortFinder.h"
#include "PortList.h"
#include "PortMapping.h"
#include "QtSerialLink.h"
#include "SystemCause.h"
#include "TransferController.h"

#include <utility>


const QString FleetRun::lockReason = QStringLiteral("正在连续传送，关闭“连续传送”后才能修改信道表。");

FleetRun::FleetRun(TransferController *transfer, ChannelStore *store, SerialLink *port, const PortList *ports,
                   const LoadPlan &plan, int acknowledged, QObject *parent)
    : QObject(parent)
    , m_transfer(transfer)
    , m_store(store)
    , m_port(port)
    , m_ports(ports)
    , m_plan(plan)
    , m_acknowledged(acknowledged)
    , m_lock(store->lock(lockReason))
    , m_adapter(DeviceIdentity::of(port->deviceName(), *ports))
{
    m_cablePoll.setInterval(PortFinder::pollMs);
    connect(&m_cablePoll, &QTimer::timeout, this, &FleetRun::pollCable);
    connect(transfer, &TransferController::concluded, this, &FleetRun::loadConcluded);
    // A radio loaded with no record of it proves nothing: the run stops there.
    connect(transfer, &TransferController::recordFailed, this, [this](const QString &cause) {
        m_recordFailure = QStringLiteral("传送记录没有写入，这次连续传送结束：%1").arg(cause);
    });
    connect(store, &ChannelStore::modelReset, this, &FleetRun::planMayHaveChanged);
    connect(store, &ChannelStore::layoutChanged, this, &FleetRun::planMayHaveChanged);
    connect(store, &ChannelStore::rowsRelocated, this, &FleetRun::planMayHaveChanged);
    connect(store, &ChannelStore::dataChanged, this, &FleetRun::planMayHaveChanged);
    connect(store, &ChannelStore::rowsInserted, this, &FleetRun::planMayHaveChanged);
    connect(store, &ChannelStore::rowsRemoved, this, &FleetRun::planMayHaveChanged);
    connect(store, &ChannelStore::becameStale, this, &FleetRun::planMayHaveChanged);
}

FleetRun::~FleetRun()
{
    blockSignals(true);   // the dialog that listens may be half gone
    finish();
}

void FleetRun::setList(const QStringList &labels)
{
    m_labels.setList(labels);
    emit changed();
}

bool FleetRun::load(const QString &typed)
{
    const QString label = typed.trimmed();
    // The radio on the cable scanned again is no next radio.
    if (m_state == State::Loading) {
        if (label != m_radios.last().label)
            m_labels.enqueue(label.isEmpty() ? m_labels.fresh() : label);
        emit changed();
        return false;
    }
    if (m_state == State::Ended || m_state == State::PlanChanged || (label.isEmpty() && m_labels.next().isEmpty()))
        return false;
    m_clock.start();
    m_cableBack = false;
    if (const State port = portState(); port != State::Ready) {
        setState(port);
        m_cablePoll.start();
        return false;
    }
    m_cablePoll.stop();
    startLoad(label.isEmpty() ? m_labels.next() : label);
    return true;
}

void FleetRun::startLoad(const QString &label)
{
    Radio radio;
    radio.label = label;
    radio.started = QDateTime::currentDateTime();
    m_labels.started(label);
    m_events.append({ Event::Kind::Load, radio.started, int(m_radios.size()), {} });
    m_radios << radio;
    m_stopping = false;
    setState(State::Loading);
    m_transfer->setRadio(label);
    m_transfer->start(m_plan, m_acknowledged);   // a refusal concludes before this returns
}

void FleetRun::loadConcluded(LoadResult result, const QString &message)
{
    if (m_state != State::Loading)
        return;
    Radio &radio = m_radios.last();
    radio.concluded = true;
    radio.result = result;
    radio.cause = message.section(u'\n', 0, 0);
    radio.elapsedMs = m_clock.elapsed();
    radio.nothingSent = m_transfer->framesSent() == 0;
    radio.record = m_transfer->recordId();
    m_labels.concluded(radio.label, result == LoadResult::Done);
    if (std::exchange(m_stopping, false))
        m_labels.putBack(radio.label);
    setState(State::Ready);
    emit concluded(int(m_radios.size() - 1));
    if (!m_recordFailure.isEmpty())
        end(m_recordFailure);
    else if (m_planChanged)
        checkPlan();
}

// The cable the run started on, opened: Ready when it opens; WaitingForCable
// while it is out; PortBusy when it is there but will not open, with
// portCause() naming the program that holds it where one is found.
FleetRun::State FleetRun::portState()
{
    const QString where = m_adapter.locate(*m_ports);
    m_portCause.clear();
    if (where.isEmpty()) {
        m_port->close();
        return State::WaitingForCable;
    }
    if (PortMapping::resolved(where) != PortMapping::resolved(m_port->deviceName())) {
        m_port->close();
        pointPortAt(where);
    }
    if (m_port->isOpen() || m_port->open())
        return State::Ready;
    const QString system = SystemCause::inChinese(m_port->errorString());
    m_portCause = m_port->withCause(QStringLiteral("%1 打不开：%2").arg(where, system));
    return State::PortBusy;
}

// The adapter came back as another node: the port follows it where the
// operator's choice is kept, or for this link alone where a script named the
// device.
void FleetRun::pointPortAt(const QString &device)
{
    const int number = m_port->portNumber();
    auto *link = qobject_cast<QtSerialLink *>(m_port.data());
    if (!PortMapping::fromEnvironment(number).isEmpty() && link)
        link->setDevice(number, device);
    else
        PortMapping::save(number, device);
}

void FleetRun::pollCable()
{
    if (const State port = portState(); port != State::Ready) {
        setState(port);
        return;
    }
    m_cablePoll.stop();
    m_cableBack = true;
    setState(State::Ready);
}

void FleetRun::stop(const QString &why)
{
    if (m_state == State::Loading) {
        m_stopping = true;
        m_transfer->interrupt(why);
    } else if (m_state == State::WaitingForCable || m_state == State::PortBusy) {
        m_cablePoll.stop();
        setState(State::Ready);
    }
}

void FleetRun::finish()
{
    if (m_finished)
        return;
    m_finished = true;
    if (m_state == State::WaitingForCable || m_state == State::PortBusy)
        stop(QString());
    m_lock.release();
    if (m_transfer)
        m_transfer->setRadio(QString());
}

// Reading the rows to compare may fetch more of them, which is a change
// signal of its own: the comparison waits for the event loop, once.
void FleetRun::planMayHaveChanged()
{
    if (m_checkQueued || m_state == State::Ended)
        return;
    m_checkQueued = true;
    QTimer::singleShot(0, this, &FleetRun::checkPlan);
}

void FleetRun::checkPlan()
{
    m_checkQueued = false;
    if (!m_store || !m_transfer || m_state == State::Ended || m_finished)
        return;
    const LoadPlan now = m_transfer->prepare();
    m_planChanged = !now.isSendable() || now.bytes() != m_plan.bytes();
    if (!m_planChanged) {   // changed back before the operator went on
        if (m_state == State::PlanChanged)
            setState(State::Ready);
        return;
    }
    m_newPlan = now;
    if (m_state == State::Loading)
        return;   // the radio on the cable gets the plan its load started with
    if (m_state == State::WaitingForCable || m_state == State::PortBusy)
        stop(QString());
    setState(State::PlanChanged);
}

bool FleetRun::continueWithNewPlan(const QString &checksum, int acknowledged)
{
    if (m_state != State::PlanChanged || !m_newPlan.isSendable() || m_newPlan.checksum() != checksum)
        return false;
    m_events.append({ Event::Kind::PlanChange, QDateTime::currentDateTime(), -1,
                      QStringLiteral("信道表已改动，此后传送校验 %1（原为 %2）")
                              .arg(m_newPlan.checksum().left(16), m_plan.checksum().left(16)) });
    m_plan = m_newPlan;
    m_acknowledged = acknowledged;
    m_planChanged = false;
    setState(State::Ready);
    return true;
}

// The same word twice in a row (a port that fails at every look) is one line.
void FleetRun::note(const QString &text)
{
    if (!m_events.isEmpty() && m_events.last().kind == Event::Kind::Note && m_events.last().text == text)
        return;
    m_events.append({ Event::Kind::Note, QDateTime::currentDateTime(), -1, text });
    emit changed();
}

void FleetRun::end(const QString &message)
{
    if (m_state == State::WaitingForCable || m_state == State::PortBusy)
        stop(QString());
    setState(State::Ended);
    emit ended(message);
}

void FleetRun::setState(State state)
{
    m_state = state;
    emit changed();
}
