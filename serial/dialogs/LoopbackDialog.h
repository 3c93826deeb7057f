#pragma once

#include <QDialog>
#include <QPointer>

class Loopback;
class PortList;
class QComboBox;
class QLabel;
class QPushButton;
class SerialLink;

// Dialog "检测数据线…": the cable self-test on a device of the operator's
// choice. When that device is the port this program has open, the port is
// closed for the test and opened again after it.
class LoopbackDialog : public QDialog
{
    Q_OBJECT
public:
    LoopbackDialog(SerialLink *port, const PortList *list, QWidget *parent = nullptr);

    QComboBox *deviceBox() const { return m_device; }

private:
    void start();
    // Not done(): that name is QDialog's, which closes the dialog.
    void showVerdict(const QString &message);

    QPointer<SerialLink> m_port;
    Loopback *m_test;
    QComboBox *m_device;
    QLabel *m_result;
    QPushButton *m_start;
    bool m_reopen = false;
};
