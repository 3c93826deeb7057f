#include "FleetDialog.h"

#include "ChannelStore.h"
#include "DesignColours.h"
#include "FleetRun.h"
#include "PortCommands.h"
#include "RadioLabel.h"
#include "SerialLink.h"
#include "TransferController.h"
#include "TransferQuestions.h"

#include <QDir>
#include <QFontDatabase>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

static QPushButton *button(const QString &text, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);   // Enter is the load's alone
    return b;
}

// One row per load, read-only; a click picks a radio, the keys stay with the label.
static void setUpTable(QTableWidget *table)
{
    table->setObjectName(QStringLiteral("电台表"));
    table->setHorizontalHeaderLabels({ QStringLiteral("电台"), QStringLiteral("时间"), QStringLiteral("结果") });
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setFocusPolicy(Qt::ClickFocus);
}

FleetDialog::FleetDialog(FleetRun *run, TransferController *transfer, const QString &file, const QString &port,
                         QWidget *parent)
    : QDialog(parent)
    , m_run(run)
    , m_transfer(transfer)
    , m_port(port)
    , m_label(new QLineEdit(this))
    , m_load(button(QStringLiteral("传送"), "传送", this))
    , m_stop(button(QStringLiteral("停止"), "停止", this))
    , m_state(new QLabel(this))
    , m_progress(new QProgressBar(this))
    , m_table(new QTableWidget(0, 3, this))
{
    run->setParent(this);
    setObjectName(QStringLiteral("连续传送"));
    setWindowTitle(QStringLiteral("连续传送"));
    QFormLayout *facts = factsOfTheRun(file, port);

    m_label->setObjectName(QStringLiteral("电台"));
    m_label->setPlaceholderText(QStringLiteral("电台编号，可扫码"));
    m_load->setDefault(true);
    auto *entry = new QHBoxLayout;
    entry->addWidget(new QLabel(QStringLiteral("电台："), this));
    entry->addWidget(m_label, 1);
    entry->addWidget(m_load);
    entry->addWidget(m_stop);

    m_state->setObjectName(QStringLiteral("状态"));
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    setUpTable(m_table);
    QPushButton *close = button(QStringLiteral("关闭"), "关闭", this);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(facts);
    layout->addLayout(entry);
    layout->addWidget(m_state);
    layout->addWidget(m_progress);
    layout->addWidget(m_table, 1);
    layout->addWidget(close, 0, Qt::AlignRight);
    resize(560, 420);

    connect(m_load, &QPushButton::clicked, this, &FleetDialog::load);
    connect(m_stop, &QPushButton::clicked, this, &FleetDialog::stop);
    connect(close, &QPushButton::clicked, this, &FleetDialog::reject);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &FleetDialog::pick);
    connect(transfer, &TransferController::progressChanged, m_progress, &QProgressBar::setValue);
    connect(run, &FleetRun::changed, this, &FleetDialog::refresh);
    connect(run, &FleetRun::ended, this, [this](const QString &message) {
        m_ended = message;
        refresh();
    });
    m_label->setText(run->nextLabel());
    m_label->selectAll();
    refresh();
}

// What the whole run is about, selectable so that the checksum can be
// compared with a printed sheet or copied.
QFormLayout *FleetDialog::factsOfTheRun(const QString &file, const QString &port)
{
    auto *facts = new QFormLayout;
    const QStringList names = { QStringLiteral("信道文件："), QStringLiteral("传送校验："), QStringLiteral("数据线：") };
    const QStringList values = { QDir::toNativeSeparators(file), m_run->checksum(), port };
    for (int i = 0; i < names.size(); ++i) {
        auto *value = new QLabel(values.at(i), this);
        value->setObjectName(names.at(i).chopped(1));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        if (i == 1)
            value->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        facts->addRow(names.at(i), value);
    }
    return facts;
}

FleetDialog *FleetDialog::open(QWidget *window, TransferController *transfer, const LoadPlan &plan,
                               ChannelStore *store, PortCommands *ports)
{
    SerialLink *port = ports->port();
    auto *run = new FleetRun(transfer, store, port, ports->portList(), plan, plan.warningCount());
    auto *dialog = new FleetDialog(run, transfer, store->path(),
                                   QStringLiteral("COM%1  %2").arg(port->portNumber()).arg(run->adapter()), window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->QDialog::open();
    return dialog;
}

// The label stays in its field until its radio's load starts: a cable that
// is out or busy keeps it there for the next Enter.
void FleetDialog::load()
{
    if (const QString refusal = RadioLabel::refusal(m_label->text()); !refusal.isEmpty()) {
        m_state->setText(refusal);
        return;
    }
    if (!m_run->load(m_label->text()))
        return;
    m_table->clearSelection();
    m_label->setText(m_run->nextLabel());
    m_label->selectAll();
    m_label->setFocus();
}

void FleetDialog::stop()
{
    if (m_run->state() != FleetRun::State::Loading
        || TransferQuestions::mayBreak(this, m_transfer, QStringLiteral("现在停止，这台电台中的信道将不完整。\n仍要停止吗？")))
        m_run->stop(QStringLiteral("连续传送已停止"));
}

void FleetDialog::reject()
{
    if (m_run->state() == FleetRun::State::Loading
        && !TransferQuestions::mayBreak(this, m_transfer, QStringLiteral("现在关闭，这台电台中的信道将不完整。\n仍要关闭吗？")))
        return;
    m_run->stop(QStringLiteral("连续传送已关闭"));
    m_run->finish();
    QDialog::reject();
}

// A row picked is its radio's label for the next Enter: a failed one is
// loaded again under the name it has in the journal.
void FleetDialog::pick()
{
    const QList<QTableWidgetItem *> picked = m_table->selectedItems();
    if (picked.isEmpty())
        return;
    m_label->setText(m_table->item(picked.first()->row(), 0)->text());
    m_label->selectAll();
    m_label->setFocus();
}

QString FleetDialog::stateText() const
{
    switch (m_run->state()) {
    case FleetRun::State::Ready:
        return m_run->cableBack() ? QStringLiteral("数据线已接好，按回车传送 %1。").arg(m_label->text())
                                  : QStringLiteral("接上下一台电台，输入电台编号后按回车。");
    case FleetRun::State::Loading:
        return QStringLiteral("正在传送 %1…").arg(m_run->radios().last().label);
    case FleetRun::State::WaitingForCable:
        return QStringLiteral("请插上数据线…（%1）").arg(m_port);
    case FleetRun::State::PortBusy:
        return QStringLiteral("数据线被占用，等它空出来…\n%1").arg(m_run->portCause());
    case FleetRun::State::PlanChanged:
        return QStringLiteral("信道表已改动，连续传送暂停。");
    case FleetRun::State::Ended:
        return m_ended;
    }
    return QString();
}

void FleetDialog::refresh()
{
    const FleetRun::State state = m_run->state();
    m_state->setText(stateText());
    const bool waiting = state == FleetRun::State::WaitingForCable || state == FleetRun::State::PortBusy;
    m_load->setEnabled(state == FleetRun::State::Ready || waiting);
    m_stop->setEnabled(state == FleetRun::State::Loading || waiting);
    m_label->setEnabled(state != FleetRun::State::Ended);
    const QVector<FleetRun::Radio> &radios = m_run->radios();
    m_table->setRowCount(int(radios.size()));
    for (int row = 0; row < radios.size(); ++row) {
        const FleetRun::Radio &radio = radios.at(row);
        QString result = QStringLiteral("正在传送");
        if (radio.concluded)
            result = resultText(radio.result) + (radio.nothingSent && radio.result == LoadResult::Failed ? QStringLiteral("（没有传送）") : QString())
                    + (radio.cause.isEmpty() ? QString() : QStringLiteral("：") + radio.cause);
        const QStringList cells = { radio.label, radio.started.toString(QStringLiteral("HH:mm:ss")), result };
        const bool failed = radio.concluded && radio.result != LoadResult::Done;
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            item->setToolTip(cells.at(column));   // a long cause is cut in its cell
            if (failed)
                item->setBackground(DesignColours::radioNotLoaded);
            m_table->setItem(row, column, item);
        }
    }
    if (!radios.isEmpty())
        m_table->scrollToBottom();
}
