#include "FleetRun.h"

#include "PortFinder.h"
#include "PortList.h"
#include "PortMapping.h"
#include "QtSerialLink.h"
#include "SystemCause.h"
#include "TransferController.h"

#include <QRegularExpression>

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
    , m_adapter(AdapterIdentity::of(port->deviceName(), *ports))
{
    m_cablePoll.setInterval(PortFinder::pollMs);
    connect(&m_cablePoll, &QTimer::timeout, this, &FleetRun::pollCable);
    connect(transfer, &TransferController::concluded, this, &FleetRun::concluded);
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

QString FleetRun::nextLabel() const
{
    static const QRegularExpression numbered(QStringLiteral("^(.*?)(\\d+)$"));
    const QRegularExpressionMatch match = numbered.match(m_lastNew);
    if (!match.hasMatch()) {
        QStringList labels;
        for (const Radio &radio : m_radios)
            if (!labels.contains(radio.label))
                labels << radio.label;
        return QStringLiteral("电台 %1").arg(labels.size() + 1);
    }
    const QString digits = match.captured(2);
    return match.captured(1) + QString::number(digits.toLongLong() + 1).rightJustified(digits.size(), u'0');
}

bool FleetRun::load(const QString &label)
{
    if (m_state == State::Loading || m_state == State::Ended)
        return false;
    m_clock.start();
    m_cableBack = false;
    if (const State port = portState(); port != State::Ready) {
        setState(port);
        m_cablePoll.start();
        return false;
    }
    m_cablePoll.stop();
    startLoad(label.trimmed().isEmpty() ? nextLabel() : label.trimmed());
    return true;
}

void FleetRun::startLoad(const QString &label)
{
    Radio radio;
    radio.label = label;
    radio.started = QDateTime::currentDateTime();
    const bool again = std::any_of(m_radios.cbegin(), m_radios.cend(),
                                   [&label](const Radio &r) { return r.label == label; });
    if (!again)
        m_lastNew = label;
    m_radios << radio;
    setState(State::Loading);
    m_transfer->setRadio(label);
    m_transfer->start(m_plan, m_acknowledged);   // a refusal concludes before this returns
}

void FleetRun::concluded(LoadResult result, const QString &message)
{
    if (m_state != State::Loading)
        return;
    Radio &radio = m_radios.last();
    radio.concluded = true;
    radio.result = result;
    radio.cause = message.section(u'\n', 0, 0);
    radio.elapsedMs = m_clock.elapsed();
    radio.nothingSent = m_transfer->framesSent() == 0;
    setState(State::Ready);
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
    if (!m_store || !m_transfer || m_state == State::Ended)
        return;
    const LoadPlan now = m_transfer->prepare();
    if (now.isSendable() && now.bytes() == m_plan.bytes())
        return;
    m_planChanged = true;
    // The radio being loaded gets the plan as it was; the run ends after it.
    if (m_state != State::Loading)
        end(QStringLiteral("信道表已被改动，这次连续传送结束。\n要传送改动后的信道表，请重新打开“连续传送”。"));
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
