#pragma once

#include <QDialog>
#include <QPointer>

class PortList;
class QLabel;
class QPushButton;
class QRadioButton;
class SerialLink;

// Dialog "选择端口": moves the serial line between COM1 and COM2. Modeless and
// without an owner; it shows the port number it found on opening and, on OK,
// switches the port. A port that cannot be opened keeps the dialog open with
// the operator's choice, so another try or the other port is one click away.
class PortDialog : public QDialog
{
    Q_OBJECT
public:
    static const QString port1Busy;   // "串行端口 1 已被使用 "
    static const QString port2Busy;   // "串行端口 2 已被使用， "

    // With `devices`, each port shows beside it which device it stands for.
    explicit PortDialog(SerialLink *port, const PortList *devices = nullptr);

    // OKButton. CancelButton and the close box are QDialog's own reject().
    void accept() override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void switchTo(int number, const QString &busyText);
    void showHints(const PortList &devices);

    QPointer<SerialLink> m_port;
    QLabel *m_label;
    QRadioButton *m_option1;
    QRadioButton *m_option2;
    QPushButton *m_ok;
    QPushButton *m_cancel;
};
