#include "PortDialog.h"

#include "SystemMessage.h"
#include "TextColour.h"
#include "DesignFonts.h"
#include "Twips.h"
#include "SerialLink.h"
#include "DeviceIdentity.h"
#include "PortList.h"
#include "PortMapping.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

const QString PortDialog::port1Busy = QStringLiteral("串行端口 1 已被使用 ");
const QString PortDialog::port2Busy = QStringLiteral("串行端口 2 已被使用， ");

PortDialog::PortDialog(SerialLink *port, const PortList *devices)
    : QDialog(nullptr,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                      | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , m_port(port)
    , m_label(new QLabel(QStringLiteral("请选择串行口:"), this))
    , m_option1(new QRadioButton(QStringLiteral(" COM1"), this))
    , m_option2(new QRadioButton(QStringLiteral(" COM2"), this))
    , m_ok(new QPushButton(QStringLiteral("确定"), this))
    , m_cancel(new QPushButton(QStringLiteral("取消"), this))
{
    setObjectName(QStringLiteral("Dialog"));
    setWindowTitle(QStringLiteral("选择端口"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    setFixedSize(Twips::toPixels(3000, this), Twips::toPixels(2790, this));

    m_label->setObjectName(QStringLiteral("Label1"));
    m_option1->setObjectName(QStringLiteral("Option1"));
    m_option2->setObjectName(QStringLiteral("Option2"));
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_cancel->setObjectName(QStringLiteral("CancelButton"));

    const QFont kai = DesignFonts::font(QStringLiteral("楷体_GB2312"), 15.75);
    m_label->setFont(kai);
    DesignColours::setTextColour(m_label, DesignColours::blue);
    for (QRadioButton *option : { m_option1, m_option2 }) {
        option->setFont(kai);
        DesignColours::setTextColour(option, DesignColours::red);
    }
    m_label->setGeometry(Twips::rect(this, 240, 240, 2295, 375));
    m_option1->setGeometry(Twips::rect(this, 720, 735, 1695, 405));
    m_option2->setGeometry(Twips::rect(this, 720, 1230, 1335, 510));
    m_ok->setGeometry(Twips::rect(this, 120, 2040, 1095, 375));
    m_cancel->setGeometry(Twips::rect(this, 1560, 2040, 1095, 375));

    // Neither button is the default: Enter presses only the focused button
    // (keyPressEvent), never OK from elsewhere in the dialog.
    for (QPushButton *button : { m_ok, m_cancel }) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }
    setTabOrder(m_ok, m_cancel);
    setTabOrder(m_cancel, m_option1);
    setTabOrder(m_option1, m_option2);
    connect(m_ok, &QPushButton::clicked, this, &PortDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &PortDialog::reject);

    if (m_port && m_port->portNumber() == 1)
        m_option1->setChecked(true);
    if (m_port && m_port->portNumber() == 2)
        m_option2->setChecked(true);
    if (devices)
        showHints(*devices);
}

// Beside each port in small type; the dialog widens only as far as the
// longest hint needs, the designed controls keep their places.
void PortDialog::showHints(const PortList &devices)
{
    const QList<PortEntry> present = devices.ports();
    int right = width();
    for (int number : { 1, 2 }) {
        QRadioButton *option = number == 1 ? m_option1 : m_option2;
        auto *hint = new QLabel(DeviceIdentity::of(PortMapping::deviceFor(number), present).hint(), this);
        hint->setObjectName(QStringLiteral("hint%1").arg(number));
        const QRect place = option->geometry();
        const int left = place.left() + option->sizeHint().width() + 4;
        hint->setGeometry(left, place.top(), hint->sizeHint().width(), place.height());
        right = qMax(right, hint->geometry().right() + Twips::toPixels(240, this));
    }
    setFixedWidth(right);
}

void PortDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_ok->setFocus();
}

void PortDialog::keyPressEvent(QKeyEvent *event)
{
    // Escape does not close the dialog; Cancel and the close box do.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        for (QPushButton *button : { m_ok, m_cancel })
            if (button->hasFocus())
                button->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void PortDialog::accept()
{
    if (!m_port) {
        close();
        return;
    }
    if (m_option1->isChecked())
        switchTo(1, port1Busy);
    else if (m_option2->isChecked())
        switchTo(2, port2Busy);
}

void PortDialog::switchTo(int number, const QString &busyText)
{
    if (m_port->portNumber() == number) {
        // Confirming the current port opens it if an earlier opening failed;
        // an open port is left alone.
        if (!m_port->isOpen() && !m_port->open()) {
            showSystemMessage(this, m_port->withCause(busyText));
            return;
        }
        QDialog::accept();
        return;
    }
    m_port->close();
    if (!m_port->setPortNumber(number) || !m_port->open()) {
        showSystemMessage(this, m_port->withCause(busyText));
        return;
    }
    QDialog::accept();
}
