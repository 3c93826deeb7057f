#include "DeviceDialog.h"

#include "DeviceState.h"
#include "FitToText.h"
#include "PortDialog.h"
#include "PortFinder.h"
#include "PortList.h"
#include "PortMapping.h"
#include "SerialLink.h"
#include "SystemMessage.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTreeWidget>
#include <QVBoxLayout>

static const QString finderPrompt = QStringLiteral("拔下数据线，再插上……");

DeviceDialog::DeviceDialog(SerialLink *port, const PortList *list, QWidget *parent)
    : QDialog(parent)
    , m_port(port)
    , m_list(list)
    , m_finder(new PortFinder(list, this))
    , m_found(new QTreeWidget(this))
    , m_finderText(new QLabel(this))
{
    setWindowTitle(QStringLiteral("串口设备"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buildPortRows());
    buildFoundList(layout);
    fillFound();
    showState(1);
    showState(2);
}

// COM1 and COM2: the device each stands for, editable unless the environment
// names it, and the device's state below it.
QGridLayout *DeviceDialog::buildPortRows()
{
    auto *ports = new QGridLayout;
    for (int number : { 1, 2 }) {
        QComboBox *&box = m_device[number - 1];
        box = new QComboBox(this);
        box->setEditable(true);
        box->setMinimumContentsLength(36);
        box->setEditText(PortMapping::deviceFor(number));
        QLabel *&state = m_state[number - 1];
        state = new QLabel(this);
        state->setWordWrap(true);
        state->setTextInteractionFlags(Qt::TextSelectableByMouse);
        const bool fromEnvironment = !PortMapping::fromEnvironment(number).isEmpty();
        box->setEnabled(!fromEnvironment);
        if (fromEnvironment)
            box->setToolTip(QStringLiteral("由环境变量 QT7020_COM%1 指定").arg(number));
        ports->addWidget(new QLabel(QStringLiteral("COM%1：").arg(number), this), 2 * number - 2, 0);
        ports->addWidget(box, 2 * number - 2, 1);
        ports->addWidget(state, 2 * number - 1, 1);
        connect(box, &QComboBox::editTextChanged, this, [this, number] { showState(number); });
    }
    return ports;
}

void DeviceDialog::buildFoundList(QVBoxLayout *layout)
{
    m_found->setRootIsDecorated(false);
    m_found->setHeaderLabels({ QStringLiteral("设备"), QStringLiteral("说明"), QStringLiteral("制造商"),
                               QStringLiteral("厂商:产品"), QStringLiteral("序列号") });
    auto *assign1 = new QPushButton(QStringLiteral("设为 COM1"), this);
    auto *assign2 = new QPushButton(QStringLiteral("设为 COM2"), this);
    auto *find = new QPushButton(QStringLiteral("查找数据线…"), this);
    assign1->setObjectName(QStringLiteral("assign1"));
    assign2->setObjectName(QStringLiteral("assign2"));
    find->setObjectName(QStringLiteral("find"));
    auto *actions = new QHBoxLayout;
    actions->addWidget(assign1);
    actions->addWidget(assign2);
    actions->addStretch();
    actions->addWidget(find);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));

    layout->addWidget(new QLabel(QStringLiteral("找到的串口设备："), this));
    layout->addWidget(m_found);
    layout->addLayout(actions);
    layout->addWidget(m_finderText);
    layout->addWidget(buttons);

    connect(assign1, &QPushButton::clicked, this, [this] { assignSelected(1); });
    connect(assign2, &QPushButton::clicked, this, [this] { assignSelected(2); });
    connect(find, &QPushButton::clicked, this, &DeviceDialog::startFinder);
    connect(m_finder, &PortFinder::found, this, &DeviceDialog::selectFound);
    connect(m_finder, &PortFinder::gaveUp, this, [this] {
        m_finderText->setText(QStringLiteral("一分钟内没有新设备出现。数据线是否插在这台电脑上？"));
        fitToText(this);
    });
    connect(buttons, &QDialogButtonBox::accepted, this, &DeviceDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DeviceDialog::reject);
}

void DeviceDialog::fillFound()
{
    m_found->clear();
    for (const PortEntry &e : m_list->ports()) {
        auto *item = new QTreeWidgetItem(m_found, { e.path, e.description, e.manufacturer, e.vendorProduct,
                                                    e.serialNumber });
        item->setData(0, Qt::UserRole, e.path);
    }
    fitFoundColumns();
}

// Every column as wide as its longest text, and the list as wide as its
// columns: a serial number cut short cannot be told from its neighbour's.
// Wider than the screen it scrolls instead.
void DeviceDialog::fitFoundColumns()
{
    int width = 2 * m_found->frameWidth() + m_found->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < m_found->columnCount(); ++column) {
        m_found->resizeColumnToContents(column);
        width += m_found->columnWidth(column);
    }
    const int limit = screen() ? screen()->availableGeometry().width() * 9 / 10 : width;
    m_found->setMinimumWidth(qMin(width, limit));
}

// The port this program has open counts as opening: it is ours.
void DeviceDialog::showState(int number)
{
    const QString device = m_device[number - 1]->currentText();
    const bool ours = m_port && m_port->isOpen()
            && PortMapping::resolved(m_port->deviceName()) == PortMapping::resolved(device);
    const DeviceState state = ours ? DeviceState{} : DeviceState::probe(device);
    QString text = ours ? QStringLiteral("已由本程序打开") : state.summary();
    if (!state.cause.isEmpty())
        text += QStringLiteral("：") + state.cause;
    m_state[number - 1]->setText(text);
    fitToText(this);
}

void DeviceDialog::assignSelected(int number)
{
    const QTreeWidgetItem *item = m_found->currentItem();
    if (item && m_device[number - 1]->isEnabled())
        m_device[number - 1]->setEditText(PortMapping::stableName(item->data(0, Qt::UserRole).toString()));
}

void DeviceDialog::startFinder()
{
    m_finderText->setText(finderPrompt);
    fitToText(this);
    m_finder->start();
}

void DeviceDialog::selectFound(const PortEntry &entry)
{
    fillFound();
    const QList<QTreeWidgetItem *> rows = m_found->findItems(entry.path, Qt::MatchExactly, 0);
    if (!rows.isEmpty())
        m_found->setCurrentItem(rows.first());
    m_finderText->setText(QStringLiteral("找到 %1。按“设为 COM1”或“设为 COM2”分配给串口。").arg(entry.path));
    fitToText(this);
}

// Saves what changed; the current port then moves to its device as a port
// switch in 选择端口 would, with the same message when it cannot be opened.
void DeviceDialog::accept()
{
    m_finder->stop();
    const QString before = m_port ? m_port->deviceName() : QString();
    for (int number : { 1, 2 }) {
        const QString chosen = m_device[number - 1]->currentText().trimmed();
        if (m_device[number - 1]->isEnabled() && !chosen.isEmpty() && chosen != PortMapping::deviceFor(number))
            PortMapping::save(number, chosen);
    }
    if (m_port && (!m_port->isOpen() || m_port->deviceName() != before)) {
        const int number = m_port->portNumber();
        m_port->close();
        if (!m_port->open()) {
            showSystemMessage(this, m_port->withCause(number == 1 ? PortDialog::port1Busy : PortDialog::port2Busy));
            return;
        }
    }
    QDialog::accept();
}
