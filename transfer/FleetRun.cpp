#include "FleetRun.h"

#include "ChannelStore.h"
#include "PlanChecksum.h"
#include "PortFinder.h"
#include "PortList.h"
#include "PortMapping.h"
#include "QtSerialLink.h"
#include "TransferSequence.h"

#include <QRegularExpression>

const QString FleetRun::lockReason = QStringLiteral("正在连续传送，关闭“连续传送”后才能修改信道表。");

FleetRun::FleetRun(TransferController *transfer, ChannelStore *channels, SerialLink *port, const PortList *ports,
                   int acknowledged, QObject *parent)
    : QObject(parent)
    , m_transfer(transfer)
    , m_channels(channels)
    , m_port(port)
    , m_ports(ports)
    , m_acknowledged(acknowledged)
    , m_plan(PlanChecksum::planFrames(*channels))
    , m_adapter(AdapterIdentity::of(port->deviceName(), *ports))
{
    m_cablePoll.setInterval(PortFinder::pollMs);
    connect(&m_cablePoll, &QTimer::timeout, this, &FleetRun::pollCable);
    connect(transfer, &TransferController::concluded, this, &FleetRun::concluded);
    // Each load frees the rows when it ends, its idle tail too; the run keeps them.
    connect(transfer->sequence(), &TransferSequence::finished, this, &FleetRun::lock);
    connect(channels, &ChannelStore::modelReset, this, &FleetRun::planMayHaveChanged);
    connect(channels, &ChannelStore::layoutChanged, this, &FleetRun::planMayHaveChanged);
    connect(channels, &ChannelStore::rowsRelocated, this, &FleetRun::planMayHaveChanged);
    connect(channels, &ChannelStore::dataChanged, this, &FleetRun::planMayHaveChanged);
    connect(channels, &ChannelStore::rowsInserted, this, &FleetRun::planMayHaveChanged);
    connect(channels, &ChannelStore::rowsRemoved, this, &FleetRun::planMayHaveChanged);
    connect(channels, &ChannelStore::becameStale, this, &FleetRun::planMayHaveChanged);
    lock();
}

FleetRun::~FleetRun()
{
    blockSignals(true);   // the dialog that listens may be half gone
    finish();
}

QString FleetRun::checksum() const
{
    return PlanChecksum::sha256(m_plan);
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
    if (m_state != State::Ready)
        return false;
    Radio radio;
    radio.label = label.trimmed().isEmpty() ? nextLabel() : label.trimmed();
    const bool again = std::any_of(m_radios.cbegin(), m_radios.cend(),
                                   [&radio](const Radio &r) { return r.label == radio.label; });
    if (!again)
        m_lastNew = radio.label;
    m_radios << radio;
    m_clock.start();
    if (portReady()) {
        startLoad();
    } else {
        setState(State::WaitingForCable);
        m_cablePoll.start();
    }
    return true;
}

void FleetRun::startLoad()
{
    Radio &radio = m_radios.last();
    radio.started = QDateTime::currentDateTime();
    setState(State::Loading);
    m_transfer->setRadio(radio.label);
    m_transfer->start(m_acknowledged);   // a refusal concludes before this returns
}

void FleetRun::concluded(TransferController::Result result, const QString &message)
{
    if (m_state != State::Loading)
        return;
    Radio &radio = m_radios.last();
    radio.concluded = true;
    radio.result = result;
    radio.cause = message.section(u'\n', 0, 0);
    radio.elapsedMs = m_clock.elapsed();
    m_state = State::Ready;
    lock();
    emit changed();
    if (m_planChanged)
        checkPlan();
}

// The cable the run started on, open: true at once when it is; false when it
// is out or will not open (portCause() says why).
bool FleetRun::portReady()
{
    const QString where = m_adapter.locate(*m_ports);
    m_portCause.clear();
    if (where.isEmpty()) {
        m_port->close();
        return false;
    }
    if (PortMapping::resolved(where) != PortMapping::resolved(m_port->deviceName())) {
        m_port->close();
        pointPortAt(where);
    }
    if (m_port->isOpen() || m_port->open())
        return true;
    m_portCause = m_port->withCause(m_port->errorString());
    return false;
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
    if (!portReady()) {
        emit changed();   // the cause may have changed
        return;
    }
    m_cablePoll.stop();
    startLoad();
}

void FleetRun::stop(const QString &why)
{
    if (m_state == State::Loading) {
        m_transfer->interrupt(why);
    } else if (m_state == State::WaitingForCable) {
        // Nothing went out to it: no load to keep in the table or the journal.
        m_cablePoll.stop();
        m_radios.removeLast();
        setState(State::Ready);
    }
}

void FleetRun::finish()
{
    // Once: a load the window starts after the run must keep its own lock.
    if (!m_locked)
        return;
    if (m_state == State::WaitingForCable)
        stop(QString());
    m_locked = false;
    if (m_channels && m_state != State::Loading)
        m_channels->setBusy(QString());
    if (m_transfer)
        m_transfer->setRadio(QString());
}

void FleetRun::lock()
{
    if (m_locked && m_channels && m_state != State::Loading)
        m_channels->setBusy(lockReason);
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
    if (!m_channels || m_state == State::Ended)
        return;
    if (m_channels->staleReason().isEmpty() && PlanChecksum::planFrames(*m_channels) == m_plan)
        return;
    m_planChanged = true;
    // The radio being loaded gets the plan as it was; the run ends after it.
    if (m_state != State::Loading)
        end(QStringLiteral("信道表已被改动，这次连续传送结束。\n要传送改动后的信道表，请重新打开“连续传送”。"));
}

void FleetRun::end(const QString &message)
{
    if (m_state == State::WaitingForCable)
        stop(QString());
    setState(State::Ended);
    emit ended(message);
}

void FleetRun::setState(State state)
{
    m_state = state;
    emit changed();
}
