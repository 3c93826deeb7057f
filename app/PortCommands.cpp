#include "PortCommands.h"

#include "DeviceDialog.h"
#include "LoopbackDialog.h"
#include "PortDialog.h"
#include "PortList.h"
#include "PortDoctorDialog.h"
#include "PortMapping.h"
#include "SerialLink.h"
#include "SystemMessage.h"
#include "SystemPortList.h"

PortCommands::PortCommands(SerialLink *port, QWidget *window)
    : QObject(window)
    , m_port(port)
    , m_window(window)
    , m_portList(std::make_unique<SystemPortList>())
{
}

PortCommands::~PortCommands()
{
    // The dialog reaches the port through the window: it goes with it.
    delete m_dialog.data();
}

void PortCommands::setPortList(std::unique_ptr<PortList> list)
{
    m_portList = std::move(list);
}

PortDialog *PortCommands::portDialog() const
{
    return m_dialog.data();
}

void PortCommands::openPortDialog()
{
    if (!m_dialog)
        m_dialog = new PortDialog(m_port, m_portList.get());
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
}

void PortCommands::closePortDialog()
{
    if (m_dialog)
        m_dialog->close();
}

void PortCommands::openDeviceDialog()
{
    auto *dialog = new DeviceDialog(m_port, m_portList.get(), m_window);
    dialog->setModal(true);
    dialog->show();
}

void PortCommands::openLoopbackDialog()
{
    auto *dialog = new LoopbackDialog(m_port, m_portList.get(), m_window);
    dialog->setModal(true);
    dialog->show();
}

// The port the window uses when someone chose it; otherwise every USB cable,
// since the on-board default is seldom the one in question.
void PortCommands::openDoctorDialog()
{
    const bool chosen = PortMapping::isChosen(m_port->portNumber());
    (new PortDoctorDialog(chosen ? m_port->deviceName() : QString(), {}, m_window))->show();
}

// On many PCs /dev/ttyS0 exists and swallows whatever is written to it, so a
// transfer "succeeds" while the USB cable stays silent. When nobody chose the
// on-board port and an adapter is plugged in, ask once before sending; with
// one adapter in, it is offered as the answer.
bool PortCommands::portLooksRight()
{
    const int number = m_port->portNumber();
    if (m_askedAboutPort || PortMapping::isChosen(number) || !PortMapping::isOnBoard(m_port->deviceName())
        || !m_portList->hasUsbAdapter())
        return true;
    m_askedAboutPort = true;
    QList<PortEntry> cables = m_portList->ports();
    cables.removeIf([](const PortEntry &entry) { return !entry.isUsb(); });
    if (cables.size() == 1)
        return offerCable(cables.first());
    const QString question =
            QStringLiteral("COM%1 现在是主板上的串口 %2，但电脑上插着 USB 数据线。\n"
                           "仍向 %2 传送吗？选“否”打开“串口设备…”，把数据线设为 COM%1。")
                    .arg(number)
                    .arg(m_port->deviceName());
    if (askSystemQuestion(m_window, question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
        == QMessageBox::Yes)
        return true;
    openDeviceDialog();
    return false;
}

// The one cable plugged in becomes the port, remembered as 串口设备… would
// remember it, and the load goes on through it.
bool PortCommands::offerCable(const PortEntry &cable)
{
    const int number = m_port->portNumber();
    const QString onBoard = m_port->deviceName();
    const int answer = askSystemChoices(
            m_window,
            QStringLiteral("COM%1 现在是主板上的串口 %2，\n电脑上插着的却是 USB 数据线 %3（%4）。\n仍向 %2 传送吗？")
                    .arg(number)
                    .arg(onBoard, cable.path, cable.vendorProduct),
            { QStringLiteral("改用 USB 数据线 %1").arg(cable.path), QStringLiteral("仍向 %1 传送").arg(onBoard),
              QStringLiteral("串口设备…") });
    if (answer == 1)
        return true;
    if (answer != 0) {
        openDeviceDialog();
        return false;
    }
    PortMapping::save(number, cable.path);
    m_port->close();
    if (m_port->open())
        return true;
    showSystemMessage(m_window, m_port->withCause(number == 1 ? PortDialog::port1Busy : PortDialog::port2Busy));
    return false;
}

QString PortCommands::startUpWarning(const QString &inUse) const
{
    switch (m_port->openFailureKind()) {
    case DeviceState::Missing:
    case DeviceState::NotSerial:
    case DeviceState::NoHardware:
        return QStringLiteral("串口 COM%1 打不开：%2").arg(m_port->portNumber()).arg(m_port->openFailureCause())
                + cableLine();
    default:
        return m_port->withCause(inUse) + cableLine();
    }
}

QString PortCommands::cableLine() const
{
    QStringList cables;
    for (const PortEntry &entry : m_portList->ports())
        if (entry.isUsb())
            cables << QStringLiteral("%1（%2）").arg(entry.path, entry.vendorProduct);
    if (cables.isEmpty())
        return {};
    return QStringLiteral("\n已插上的 USB 数据线：%1，可在“系统设置 → 串口与数据线 → 串口设备…”中设为 COM1。").arg(cables.join(QStringLiteral("、")));
}
