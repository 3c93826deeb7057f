#pragma once

#include <QDialog>
#include <QPointer>

class PortFinder;
class PortList;
class QComboBox;
class QGridLayout;
class QVBoxLayout;
class QLabel;
class QTreeWidget;
class SerialLink;
struct PortEntry;

// Dialog "串口设备…": which device COM1 and COM2 stand for. Shows each port's
// device and its state, the serial devices found, and finds a cable by its
// being unplugged and plugged in again. OK saves the choice and reopens the
// current port on its device; Cancel leaves everything as it was.
class DeviceDialog : public QDialog
{
    Q_OBJECT
public:
    DeviceDialog(SerialLink *port, const PortList *list, QWidget *parent = nullptr);

    QComboBox *deviceBox(int number) const { return m_device[number - 1]; }
    QTreeWidget *foundList() const { return m_found; }
    PortFinder *finder() const { return m_finder; }

    void accept() override;

private:
    QGridLayout *buildPortRows();
    void buildFoundList(QVBoxLayout *layout);
    void fillFound();
    void fitFoundColumns();
    void showState(int number);
    void assignSelected(int number);
    void startFinder();
    void selectFound(const PortEntry &entry);

    QPointer<SerialLink> m_port;
    const PortList *m_list;
    PortFinder *m_finder;
    QComboBox *m_device[2];
    QLabel *m_state[2];
    QTreeWidget *m_found;
    QLabel *m_finderText;
};
