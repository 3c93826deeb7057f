#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

class PortDialog;
struct PortEntry;
class PortList;
class QWidget;
class SerialLink;

// The window's ways to the serial line: 选择端口 (modeless, one at a time,
// not owned by the window), 串口设备…, 检测数据线… and 串口诊断…, and the one question
// asked before a transfer goes to an on-board port while a USB cable is in.
class PortCommands : public QObject
{
    Q_OBJECT
public:
    PortCommands(SerialLink *port, QWidget *window);
    ~PortCommands() override;

    // The serial devices present; the system's own unless a test puts in another.
    void setPortList(std::unique_ptr<PortList> list);
    PortDialog *portDialog() const;
    SerialLink *port() const { return m_port; }
    const PortList *portList() const { return m_portList.get(); }

    void openPortDialog();
    void openDeviceDialog();
    void openLoopbackDialog();
    void openDoctorDialog();
    void closePortDialog();
    // A line naming the USB cables plugged in, for a message about a port that
    // would not open; empty when there is none.
    QString cableLine() const;
    // The port would not open at start-up: `inUse`, the designed warning, when
    // it is in use or nothing more is known; the real cause on the first line
    // when the device is missing, no serial device or has no chip. The remedy
    // and the cables plugged in follow either way.
    QString startUpWarning(const QString &inUse) const;
    // Before a load to an on-board port nobody chose while a USB cable is in:
    // false when the operator would rather choose the cable first. With one
    // cable in, taking it makes it the port and answers true.
    bool portLooksRight();

private:
    bool offerCable(const PortEntry &cable);

    SerialLink *m_port;
    QWidget *m_window;
    QPointer<PortDialog> m_dialog;
    std::unique_ptr<PortList> m_portList;
    bool m_askedAboutPort = false;
};
