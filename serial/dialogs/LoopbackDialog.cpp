#include "LoopbackDialog.h"

#include "FitToText.h"
#include "Loopback.h"
#include "PortList.h"
#include "PortMapping.h"
#include "SerialLink.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

LoopbackDialog::LoopbackDialog(SerialLink *port, const PortList *list, QWidget *parent)
    : QDialog(parent)
    , m_port(port)
    , m_test(new Loopback(this))
    , m_device(new QComboBox(this))
    , m_result(new QLabel(this))
    , m_start(new QPushButton(QStringLiteral("开始检测"), this))
{
    setWindowTitle(QStringLiteral("检测数据线"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_device->setEditable(true);
    m_device->setMinimumContentsLength(36);
    for (int number : { 1, 2 })
        m_device->addItem(PortMapping::deviceFor(number));
    for (const PortEntry &entry : list->ports())
        if (m_device->findText(entry.path) < 0)
            m_device->addItem(entry.path);
    if (m_port)
        m_device->setCurrentText(m_port->deviceName());

    auto *how = new QLabel(QStringLiteral("把数据线的发送端和接收端短接（DB9 的 2 脚和 3 脚，或电台插头的 TX 和 RX），"
                                          "然后按“开始检测”。发出的数据应原样收回。"),
                           this);
    how->setWordWrap(true);
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Room for the longest verdict, so the dialog does not jump when it comes.
    m_result->setMinimumHeight(m_result->fontMetrics().lineSpacing() * 6);
    setMinimumWidth(m_result->fontMetrics().averageCharWidth() * 70);
    auto *close = new QPushButton(QStringLiteral("关闭"), this);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("设备："), m_device);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_start);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(how);
    layout->addLayout(form);
    layout->addWidget(m_result);
    layout->addLayout(buttons);

    connect(m_start, &QPushButton::clicked, this, &LoopbackDialog::start);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_test, &Loopback::finished, this, [this](Loopback::Result, const QString &message) { showVerdict(message); });
}

void LoopbackDialog::start()
{
    const QString device = m_device->currentText().trimmed();
    m_reopen = m_port && m_port->isOpen()
            && PortMapping::resolved(m_port->deviceName()) == PortMapping::resolved(device);
    if (m_reopen)
        m_port->close();
    m_start->setEnabled(false);
    m_result->setText(QStringLiteral("正在检测 %1……").arg(device));
    m_test->start(device);
}

void LoopbackDialog::showVerdict(const QString &message)
{
    QString text = message;
    if (m_reopen && m_port && !m_port->open())
        text += QStringLiteral("\n串口 %1 未能重新打开：%2").arg(m_port->portNumber()).arg(m_port->errorString());
    m_reopen = false;
    m_result->setText(text);
    fitToText(this);
    m_start->setEnabled(true);
}
